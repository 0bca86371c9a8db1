// Appended to the game's JavaScript: what the page and its tests read of the running game, the
// audio context's resume on a touch's end (browsers count a touch as a gesture only when it
// ends, and emscripten resumes on touchstart), and the end of the game when it quits.
Module["brambolt"] = {
  // "running" once a gesture has let the audio start; "none" before the device opens.
  audioState: function() {
    var ctx = AL.currentCtx;
    return ctx ? ctx.audioCtx.state : "none";
  },
  // The sources that play now: whether each loops and its sound's length in seconds.
  playingSources: function() {
    var ctx = AL.currentCtx, list = [];
    if (!ctx) return list;
    for (var id in ctx.sources) {
      var src = ctx.sources[id];
      if (src.state !== 0x1012 /* AL_PLAYING */) continue;
      var buf = src.bufQueue && src.bufQueue[0];
      list.push({looping: !!src.looping, seconds: buf && buf.audioBuf ? buf.audioBuf.duration : 0});
    }
    return list;
  },
  // A field of the game (tools/web/kp_web_probe.cpp), -1 before it exists.
  probe: function(field) { return Module.ccall("bt3_web_probe", "number", ["string"], [field]); },
  // Loop iterations (one render each), main-thread milliseconds spent in them and game
  // updates run, so far.
  frames: function() {
    return [Module._kp_web_iterations(), Module._kp_web_busy_ms(), Module._kp_web_updates()];
  },
  // The canvas's drawing buffer size.
  drawingSize: function() { return [Module.canvas.width, Module.canvas.height]; },
  // Stops the display frames once the game has quit.
  ended: function() { Browser.mainLoop.pause(); },
};

["touchend", "mouseup", "keyup"].forEach(function(name) {
  document.addEventListener(name, function() {
    var ctx = AL.currentCtx;
    if (ctx && ctx.audioCtx.state === "suspended") ctx.audioCtx.resume();
  }, true);
});
