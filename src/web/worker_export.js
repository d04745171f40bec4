/* worker_export.js - an export worker's side of its talk with the page
   (export.js): the --pre-js of the worker module (worker_web.cpp), which
   the page starts from a Blob URL of its own text. (A pre-js, so that the
   module's error lines come here: it reads printErr as it starts.)

   The page sends, in order:
     { type: 'start', files: [[path, bytes]...], tex_dir, photo, seed }
         the show's files written into this module's file system and the show
         loaded (again, when the worker is kept for another video); answered { type: 'ready' }, or { type: 'failed', message },
         or { type: 'no-webgl' } where a worker has no OffscreenCanvas WebGL
     { type: 'draw', k, t, width, height }
         frame k, show time t, drawn and converted (I420); answered
         { type: 'frame', k, data } with the frame's buffer handed over, or
         { type: 'failed', message }
     { type: 'lose' }  the WebGL context lost, as a failing GPU loses it
                       (the tests' way to make a worker fail)
   The context is the one the page's GLUT window has (no alpha, no
   antialiasing, a depth buffer), so a worker draws the pixels the page draws. */
self.devicePixelRatio = 1;  // the bitmap text's scale: a video's own pixels
Module['canvas'] = null;
var worker_errors = [];  // the loader's lines, for the page's message
Module['printErr'] = function(line) {
  if (!/^WARNING: using emscripten GL/.test(line))  // the GL emulation announcing itself
    worker_errors.push(line);
};

(function() {
  var queue = [], running = false;

  var lost = 'a drawing worker lost its WebGL context (the browser\'s graphics failed)';

  function fail(message) {
    postMessage({ type: 'failed', message: message });
  }

  function start(m) {
    if (typeof OffscreenCanvas === 'undefined') {
      postMessage({ type: 'no-webgl' });
      return;
    }
    if (!Module['canvas']) {  // a worker kept for the next video keeps its context
      var canvas = Module['canvas'] = new OffscreenCanvas(m.width || 16, m.height || 16);
      var handle = GL.createContext(canvas, { antialias: false, alpha: false, depth: true, stencil: false,
                                              majorVersion: 1 });
      if (!handle) {
        postMessage({ type: 'no-webgl' });
        return;
      }
      GL.makeContextCurrent(handle);
      Module.ctx = GLctx;
      Module.useWebGL = true;  // the GL emulation sets itself up only for WebGL
      Browser.moduleContextCreatedCallbacks.forEach(function(callback) { callback(); });
    }
    m.files.forEach(function(file) {
      FS.mkdirTree(file[0].substring(0, file[0].lastIndexOf('/')));
      FS.writeFile(file[0], file[1]);
    });
    worker_errors = [];
    if (ccall('web_worker_start', 'number', ['string', 'number', 'number', 'string'],
              [m.tex_dir, m.photo ? 1 : 0, m.seed, m.doc || '']))
      fail(worker_errors.join(' ') || 'the show could not be loaded');
    else
      postMessage({ type: 'ready' });
  }

  function draw(m) {
    var at = _web_export_frame(m.t, m.width, m.height);
    if (GLctx.isContextLost()) {
      fail(lost);
      return;
    }
    if (!at) {
      fail('show time ' + m.t + ' ms could not be drawn');
      return;
    }
    var data = HEAPU8.slice(at, at + m.width * m.height * 3 / 2).buffer;
    postMessage({ type: 'frame', k: m.k, data: data }, [data]);
  }

  function handle(m) {
    if (m.type === 'start')
      start(m);
    else if (m.type === 'draw')
      draw(m);
    else if (m.type === 'lose' && GLctx)
      GLctx.getExtension('WEBGL_lose_context').loseContext();
  }

  function run() {
    if (!runtimeInitialized || running)
      return;
    running = true;
    try {
      while (queue.length)
        handle(queue.shift());
    } catch (e) {  // the GL emulation trips over a lost context too
      fail(typeof GLctx !== 'undefined' && GLctx && GLctx.isContextLost() ? lost : String(e && e.message || e));
    }
    running = false;
  }

  self.onmessage = function(event) {
    queue.push(event.data);
    run();
  };
  Module['onRuntimeInitialized'] = run;
})();
