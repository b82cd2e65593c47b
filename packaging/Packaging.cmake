# Installation and packaging of the game.
install(TARGETS korvanda RUNTIME DESTINATION bin)
