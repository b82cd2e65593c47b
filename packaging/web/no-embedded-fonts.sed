# Qt's WebAssembly platform plugin without the three fonts it embeds as resources: the
# game brings its own face and shows no other.
/^qt_internal_add_resource(QWasmIntegrationPlugin "wasmfonts"$/,/^)$/d
