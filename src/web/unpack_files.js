/* unpack_files.js - before the show starts, writes the page's packed files
   (vexa_packed_files: [name, gzip in base64] pairs from pack_files.mjs) into
   the page's file system, uncompressed with the browser's own gzip
   (DecompressionStream). An Emscripten --pre-js: FS and the run
   dependencies are the module's own. */
Module['preRun'] = (Module['preRun'] || []).concat(function() {
  addRunDependency('vexa_packed_files');
  Promise.all(vexa_packed_files.map(function(file) {
    return fetch('data:application/gzip;base64,' + file[1]).then(function(response) {
      return new Response(response.body.pipeThrough(new DecompressionStream('gzip'))).arrayBuffer();
    }).then(function(bytes) {
      FS.mkdirTree(file[0].substring(0, file[0].lastIndexOf('/')));
      FS.writeFile(file[0], new Uint8Array(bytes));
    });
  })).then(function() {
    vexa_packed_files = null;  // the base64 text is no longer needed
    removeRunDependency('vexa_packed_files');
  }, function(error) {
    err('vexa: the packed artwork could not be unpacked: ' + error);
  });
});
