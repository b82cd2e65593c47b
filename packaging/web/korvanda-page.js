"use strict";
// Starts the game in the page and shows where it is: setting out, playing, ended (the
// player chose Exit or closed the window) or unable to start.
(() => {
    const screen = document.getElementById("screen");
    const status = document.getElementById("status");
    const ended = document.getElementById("ended");

    function cannotStart(reason) {
        status.textContent = "Korvanda cannot start in this browser: " + reason;
        status.hidden = false;
    }

    // The program's end unwinds its call stack with this error, which is no fault.
    window.addEventListener("error", (event) => {
        if (event.error && event.error.name === "ExitStatus")
            event.preventDefault();
    });

    // Keeps the page's own files for play without a network; the game works without it.
    if ("serviceWorker" in navigator)
        navigator.serviceWorker.register("service-worker.js").catch(() => {});

    if (typeof WebAssembly !== "object" || typeof createQtAppInstance !== "function") {
        cannotStart("it runs no WebAssembly.");
        return;
    }
    createQtAppInstance({
        qtContainerElements: [screen],
        qtFontDpi: 96,
        print() {},
        printErr(text) {
            console.warn(text);
        },
        // The game's window is on the screen from its first frame on.
        onRuntimeInitialized() {
            status.hidden = true;
        },
        onExit() {
            screen.remove();
            ended.hidden = false;
        },
        onAbort(reason) {
            cannotStart(String(reason));
        },
    }).catch((error) => cannotStart(String(error)));
})();
