#pragma once

namespace korvanda {

// A shared library that Qt's platform support has already loaded, for the few calls that
// the program makes into it without linking it. A library that the program links joins
// the front of the order in which the dynamic loader searches for every symbol that it
// resolves at start, ahead of Qt's libraries and for Qt's own symbols too: linked, libxcb
// and libwayland-client cost 1.8 of the 75 million instructions before the window is mapped.
class LoadedLibrary {
public:
    // Loads nothing: a library that nothing in the process has loaded stays unavailable.
    explicit LoadedLibrary(const char* soname);
    ~LoadedLibrary();
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    // The library's function NAME as a pointer of type Function, which the caller takes
    // from the function's declaration; null where the library lacks it.
    template <typename Function> Function function(const char* name) const {
        return reinterpret_cast<Function>(symbol(name));
    }

private:
    void* symbol(const char* name) const;

    void* handle_;
};

} // namespace korvanda
