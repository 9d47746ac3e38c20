// web_files.js -- before the game starts: the player's settings, records,
// replays and ghosts back from IndexedDB into the home folder, where the game
// keeps them; and Module.keepFiles, which the game calls after each file it
// keeps, to write them back (one write-back at a time, one more after it
// when files came meanwhile).
Module.preRun = Module.preRun || [];
Module.preRun.push(function() {
    FS.mkdirTree('/home/web_user');
    FS.mount(IDBFS, {}, '/home/web_user');
    addRunDependency('mudlark-kept-files');
    FS.syncfs(true, function(error) {
        if (error) {
            console.warn('mudlark: the kept files could not be read back', error);
        }
        removeRunDependency('mudlark-kept-files');
    });
});

(function() {
    let busy = false;
    let again = false;
    Module.filesKept = 0;
    Module.keepFiles = function() {
        if (busy) {
            again = true;
            return;
        }
        busy = true;
        FS.syncfs(false, function(error) {
            if (error) {
                console.warn('mudlark: the files could not be kept', error);
            }
            busy = false;
            Module.filesKept += 1;
            if (again) {
                again = false;
                Module.keepFiles();
            }
        });
    };
})();
