// Put before the headless runner's JavaScript for Node.js: every top folder of the real file
// system is mounted at its own path (NODEFS) and the working folder is the one Node.js started
// in, so the runner takes the same paths as on the desktop. emscripten's /dev stays its own:
// the standard streams remain its devices, which dup() and dup2() copy as the runner needs to
// keep the game's log lines apart from its results (NODERAWFS cannot copy a standard stream).
Module["preRun"] = (Module["preRun"] || []).concat(function() {
  var fs = require("fs");
  var own = ["dev", "proc", "sys"];
  fs.readdirSync("/").forEach(function(name) {
    var path = "/" + name;
    if (own.indexOf(name) >= 0) return;
    try {
      if (!fs.statSync(path).isDirectory()) return;
    } catch (e) {
      return; // a dangling link, or a folder Node.js may not look at
    }
    if (!FS.analyzePath(path).exists) FS.mkdir(path);
    FS.mount(NODEFS, {root: path}, path);
  });
  FS.chdir(process.cwd());
});
