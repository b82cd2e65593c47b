# Qt's widgets without the pictures of the standard icons (those of file dialogs, item
# views, tool bars, docks and the Mac style), which no window of the game shows: a third
# of a megabyte that no compression shrinks. Fusion's own picture stays, and with it the
# resource that the application loads at start; the message boxes' icons are drawn from
# pictures in the code.
/^    "styles\/images\/fusion_groupbox\.png"$/b
/^    "styles\/images\//d
/^qt_internal_add_resource(Widgets "qstyle1"$/,/^)$/d
