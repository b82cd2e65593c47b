#include "LoadedLibrary.h"

#include <dlfcn.h>

namespace korvanda {

LoadedLibrary::LoadedLibrary(const char* soname)
    : handle_(dlopen(soname, RTLD_LAZY | RTLD_LOCAL | RTLD_NOLOAD)) {}

// Gives back only this object's reference: the library stays loaded for whoever loaded it.
LoadedLibrary::~LoadedLibrary() {
    if (handle_)
        dlclose(handle_);
}

void* LoadedLibrary::symbol(const char* name) const {
    return handle_ ? dlsym(handle_, name) : nullptr;
}

} // namespace korvanda
