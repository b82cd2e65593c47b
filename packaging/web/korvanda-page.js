"use strict";
// Starts the game in the page and shows where it is: setting out, playing, ended (the
// player chose Exit or closed the window) or unable to start. A start that cannot succeed
// or that fails leaves the page's own message, never a blank page or half a board.
(() => {
    const screen = document.getElementById("screen");
    const status = document.getElementById("status");
    const ended = document.getElementById("ended");
    const failed = document.getElementById("failed");
    let starting = true;

    function cannotStart(reason, detail) {
        if (!starting)
            return;
        starting = false;
        if (detail)
            console.warn("Korvanda did not start:", String(detail));
        screen.remove();
        status.hidden = true;
        document.getElementById("reason").textContent = reason;
        failed.hidden = false;
    }

    // Asked of a canvas that is never shown, and let go at once: the program's window
    // system draws with WebGL 1 and cannot run without it.
    function offersWebGL() {
        const context = document.createElement("canvas").getContext("webgl");
        const lose = context && context.getExtension("WEBGL_lose_context");
        if (lose)
            lose.loseContext();
        return context !== null;
    }

    // The program's end unwinds its call stack with this error, which is no fault; any other
    // error while the program sets out its board stops the start.
    window.addEventListener("error", (event) => {
        if (event.error && event.error.name === "ExitStatus")
            event.preventDefault();
        else
            cannotStart("It stopped while setting out the board.", event.message);
    });

    // Keeps the page's own files for play without a network; the game works without it.
    if ("serviceWorker" in navigator)
        navigator.serviceWorker.register("service-worker.js").catch(() => {});

    if (typeof WebAssembly !== "object" || typeof createQtAppInstance !== "function") {
        cannotStart("It runs as WebAssembly, which this browser does not run.");
        return;
    }
    if (!offersWebGL()) {
        cannotStart("It draws its board with WebGL, which this browser has turned off or " +
            "does not offer.");
        return;
    }
    let loaded = false;
    const stopped = (error) => cannotStart(loaded
        ? "It stopped while setting out the board."
        : "Its program did not arrive whole. Reload the page to fetch it again.", error);
    createQtAppInstance({
        qtContainerElements: [screen],
        qtFontDpi: 96,
        print() {},
        printErr(text) {
            console.warn(text);
        },
        // The game's window is on the screen from its first frame on.
        onRuntimeInitialized() {
            loaded = true;
            status.hidden = true;
        },
        // The program has set out its board and waits for the player.
        postRun: [() => (starting = false)],
        onExit() {
            screen.remove();
            ended.hidden = false;
        },
        onAbort: stopped,
    }).catch(stopped);
})();
