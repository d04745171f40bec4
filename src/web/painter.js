/* painter.js - the page's default artwork painted in a worker while the page
   settles and the show plays: the first picture the show needs first, each
   handed to the show as it is made (main_web.cpp). An Emscripten --post-js of
   the page's module.

     Module.start_painter([0, 1, ... 11])  // catalogue indices in the order wanted
     // true: started; false: no worker here (the page paints on its own thread)

   The worker runs the page's own script (its text, from the page) with the
   WebAssembly module the page compiled (page.html keeps it in
   vexa_wasm_module), without the show's main: no second compilation and no
   second copy of the code in the page. Each picture comes back as a
   message and goes to web_image_in; at the end web_painted(0), or
   web_painted(1) when the worker failed, the page then painting the rest
   itself. */

// The worker's side, run ahead of the page's script in the worker.
function vexa_painter_main() {
  var job;
  var started = new Promise(function(resolve) {
    self.onmessage = function(e) { job = e.data; resolve(); };
  });
  self.Module = {
    noInitialRun: true,
    instantiateWasm: function(imports, receive) {
      started.then(function() { return WebAssembly.instantiate(job.module, imports); })
        .then(function(instance) { receive(instance, job.module); },
              function(error) { postMessage({ type: 'failed', text: String(error) }); });
      return {};
    },
    print: function(line) { postMessage({ type: 'line', text: line }); },
    printErr: function(line) { postMessage({ type: 'line', text: line }); },
    on_art_image: function(index, name, bytes) {
      postMessage({ type: 'image', index: index, name: name, bytes: bytes }, [bytes.buffer]);
    },
    onRuntimeInitialized: function() {
      var order = Int32Array.from(job.order);
      var p = _malloc(order.length * 4);
      HEAP32.set(order, p >> 2);
      var status = _art_engine_paint_default_each(p, order.length);
      _free(p);
      postMessage({ type: status === 0 ? 'done' : 'failed' });
    },
  };
}

Module['start_painter'] = function(order) {
  var script = document.getElementById('vexa-page-script');
  var module = typeof vexa_wasm_module !== 'undefined' ? vexa_wasm_module : null;
  if (typeof Worker === 'undefined' || !script || !module)
    return false;
  var url = URL.createObjectURL(new Blob(['(' + vexa_painter_main + ')();\n', script.text],
                                         { type: 'text/javascript' }));
  var worker;
  try {
    worker = new Worker(url);
  } catch (e) {
    URL.revokeObjectURL(url);
    return false;
  }
  var ended = false;
  function end(status, why) {
    if (ended)
      return;
    ended = true;
    worker.terminate();
    URL.revokeObjectURL(url);
    if (why)
      err('vexa: the artwork worker: ' + why);
    _web_painted(status);
  }
  worker.onmessage = function(e) {
    var m = e.data;
    if (m.type === 'image') {
      var p = _malloc(m.bytes.length);
      if (!p)
        return end(1, 'out of memory');
      HEAPU8.set(m.bytes, p);
      _web_image_in(m.index, p, m.bytes.length);
      _free(p);
    } else if (m.type === 'line') {
      err(m.text);  // as the page's own standard error
    } else {
      end(m.type === 'done' ? 0 : 1, m.text);
    }
  };
  worker.onerror = function(e) {
    e.preventDefault();
    end(1, e.message || 'failed');
  };
  worker.postMessage({ module: module, order: order });
  return true;
};
