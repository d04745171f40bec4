// export.js - the page's "Download video": a span of the show drawn frame by
// frame at exact show times (frame k at from + floor(k * 1000 * den / num)
// ms, as vexa-capture draws them, never recorded in real time), each read
// back and turned into I420 (BT.709, limited range) by web_export_frame,
// encoded with WebCodecs (H.264 in MP4 where the browser has it, VP9 in WebM
// otherwise), with a sound track when asked (the leader's sync pop, the
// music bed of music.js, mixed as vexa-capture mixes them), and written by
// Mediabunny into memory. The sound is AAC in MP4 where the browser encodes
// AAC; else Opus, in WebM, or in MP4 when `container` asks for it (some
// players and editors cannot play Opus in MP4).
//
// The frames are drawn by the page's export jobs: two workers (options.jobs,
// default as many as the processor has cores, at most 2), each with its own
// WebGL context on an OffscreenCanvas and its own copy of the show
// (worker_export.js), worker j drawing frames j, j + jobs, ..., handed to the
// one encoder here in order, so the page stays responsive. jobs 0, or a
// browser whose workers have no WebGL, draws them on the page's own canvas.
//
//   const job = vexa_export.start({ from: 0, to: 16000, rate: [30, 1], width: 1280, height: 720,
//                                   pop: false, music: bed or null, container: 'mp4' or 'webm' },
//                                 (done, total) => ...);
//   job.cancel();                 // the promise then gives null
//   const file = await job.done;  // { blob, name, jobs } or null; throws on failure
//
// vexa_export.unavailable() says in words why this browser cannot export,
// or gives null; vexa_export.aac() whether it encodes AAC sound.
var vexa_export = (function() {
  'use strict';

  // The pop as vexa-capture makes it: a 1 kHz cosine at -20 dBFS, stereo.
  var sample_rate = 48000, channels = 2, pop_at_ms = 3000, pop_hz = 1000, pop_level = Math.pow(10, -20 / 20);

  // The exact arithmetic of vexa-capture's sequences (rate = [num, den]).
  function frame_time(from, k, rate) {
    return from + Math.floor(k * 1000 * rate[1] / rate[0]);
  }
  function frame_count(from, to, rate) {
    if (to <= from)
      return 0;
    var span = (to - from) * rate[0], step = 1000 * rate[1];
    return Math.floor((span + step - 1) / step);
  }
  function frame_sample(k, rate, hz) {
    return Math.floor((k * hz * rate[1] * 2 + rate[0]) / (rate[0] * 2));
  }

  function unavailable() {
    if (!window.isSecureContext)
      return 'Video export needs a secure page (opened from disk, from https or from localhost); ' +
             'this browser turns WebCodecs off here.';
    if (typeof VideoEncoder === 'undefined' || typeof VideoFrame === 'undefined')
      return 'Video export needs WebCodecs, which this browser lacks.';
    return null;
  }

  var aac_config = { codec: 'mp4a.40.2', sampleRate: sample_rate, numberOfChannels: channels, bitrate: 192000 };
  var opus_config = { codec: 'opus', sampleRate: sample_rate, numberOfChannels: channels, bitrate: 128000 };

  async function aac() {
    try {
      return typeof AudioEncoder !== 'undefined' && (await AudioEncoder.isConfigSupported(aac_config)).supported === true;
    } catch (e) {
      return false;
    }
  }

  // The container a video with sound is written in and its sound's codec:
  // AAC in MP4 where the browser encodes AAC (unless WebM is asked for);
  // else Opus, in the container asked for (MP4 when none is).
  async function sound_choice(container) {
    if (container !== 'webm' && await aac())
      return { format: 'mp4', codec: 'aac', config: aac_config };
    return { format: container === 'webm' ? 'webm' : 'mp4', codec: 'opus', config: opus_config };
  }

  // H.264 High in MP4 where the browser encodes it, else VP9 in WebM; the
  // sound's container first when there is sound.
  async function pick_codec(o, format) {
    var fps = o.rate[0] / o.rate[1];
    var base = { width: o.width, height: o.height, framerate: fps, latencyMode: 'quality',
                 bitrate: Math.round(o.width * o.height * fps * 0.25) };
    var tries = [
      { format: 'mp4', codec: 'avc', config: { codec: 'avc1.640028', avc: { format: 'avc' } } },
      { format: 'webm', codec: 'vp9', config: { codec: 'vp09.00.40.08' } },
    ];
    if (format === 'webm')
      tries.reverse();
    for (var i = 0; i < tries.length; ++i) {
      var config = Object.assign({}, base, tries[i].config);
      try {
        if ((await VideoEncoder.isConfigSupported(config)).supported)
          return Object.assign({}, tries[i], { config: config });
      } catch (e) { /* not this one */ }
    }
    return null;
  }

  // A turn of the event loop without a timer's clamping: the progress shows
  // and a click on Cancel gets through.
  function yield_to_page() {
    return new Promise(function(resolve) {
      var channel = new MessageChannel();
      channel.port1.onmessage = function() { resolve(); };
      channel.port2.postMessage(null);
    });
  }

  // The files the page's show is made from, wherever the page got them (packed
  // in, painted at load, the studio's): its artwork directory and the bitmap
  // text's font in the page's file system, as [path, bytes] (read when
  // `read`) or [path, size, time written]. Each export worker gets its own copy.
  function show_files(read) {
    var files = [];
    (function walk(dir) {
      FS.readdir(dir).forEach(function(name) {
        var file = dir + '/' + name, stat = name === '.' || name === '..' ? null : FS.stat(file);
        if (stat && FS.isDir(stat.mode))
          walk(file);
        else if (stat)
          files.push(read ? [file, FS.readFile(file)] : [file, stat.size, stat.mtime.getTime()]);
      });
    })(Module.ccall('web_tex_dir', 'string', [], []));
    var font = 'font/helvetica10.bdf';
    files.push(read ? [font, FS.readFile(font)] : [font]);
    return files;
  }

  var worker_url = null;
  function workers_can_draw() {
    return typeof OffscreenCanvas !== 'undefined' && typeof Worker !== 'undefined' &&
           typeof DecompressionStream !== 'undefined' && !!document.getElementById('vexa-worker-script');
  }
  function default_jobs() {
    return workers_can_draw() ? Math.max(1, Math.min(2, navigator.hardwareConcurrency || 2)) : 0;
  }

  // The frames drawn on the page's own canvas.
  function page_frames(o) {
    var size = o.width * o.height * 3 / 2;
    return {
      jobs: 0,
      frame: async function(k) {
        var at = Module._web_export_frame(frame_time(o.from, k, o.rate), o.width, o.height);
        if (!at)
          throw new Error('show time ' + frame_time(o.from, k, o.rate) + ' ms could not be drawn');
        return Module.HEAPU8.subarray(at, at + size);
      },
      keep: function() {},
      stop: function() {},
    };
  }

  // The workers are kept from one video to the next for a minute, their show
  // loaded again only when it changed (`show` says what it was made from), so
  // that the next video starts at once; a cancelled or failed video ends them.
  var pool = [], pool_timer = null, keep_ms = 60000;
  function end_pool() {
    clearTimeout(pool_timer);
    pool.forEach(function(p) { p.worker.terminate(); });
    pool = [];
  }

  // The frames drawn by `jobs` workers, worker j drawing frames j, j + jobs,
  // ..., each asked for at most `ahead` frames at a time; frame(k) gives frame
  // k (k in order) once drawn, or null once stopped; job.stop ends the workers
  // at once, keep() keeps them for the next video. Gives null where a worker
  // has no WebGL: the page draws instead.
  async function worker_frames(o, jobs, frames, job) {
    var ahead = 2;
    if (!worker_url) {
      var packed = atob(document.getElementById('vexa-worker-script').textContent.trim());
      var gz = new Uint8Array(packed.length);
      for (var i = 0; i < packed.length; ++i)
        gz[i] = packed.charCodeAt(i);
      var code = await new Response(new Blob([gz]).stream().pipeThrough(new DecompressionStream('gzip'))).arrayBuffer();
      worker_url = worker_url || URL.createObjectURL(new Blob([code], { type: 'text/javascript' }));
    }
    clearTimeout(pool_timer);
    var tex_dir = Module.ccall('web_tex_dir', 'string', [], []), photo = Module._web_photo(), seed = Module._web_seed();
    var doc = Module.ccall('web_doc_text', 'string', [], []);
    var show = JSON.stringify([tex_dir, photo, seed, doc, show_files(false)]);
    while (pool.length < jobs)
      pool.push({ worker: new Worker(worker_url), show: null });
    var used = pool.slice(0, jobs), workers = used.map(function(p) { return p.worker; });
    var drawn = {}, failure = null, wake = null, answers = [], stopped = false;
    function notify() {
      var w = wake;
      wake = null;
      if (w)
        w();
    }
    function fail(error) {
      failure = failure || error;
      answers.forEach(function(answer) { answer('failed'); });
      notify();
    }
    function ask(k) {
      if (k < frames && !stopped)
        workers[k % jobs].postMessage({ type: 'draw', k: k, t: frame_time(o.from, k, o.rate),
                                        width: o.width, height: o.height });
    }
    function stop() {
      stopped = true;
      end_pool();
      answers.forEach(function(answer) { answer('stopped'); });
      notify();
    }
    job.stop = stop;
    var started = used.map(function(p) {
      return new Promise(function(answer) {
        answers.push(answer);
        p.worker.onmessage = function(event) {
          var m = event.data;
          if (m.type === 'frame') {
            drawn[m.k] = new Uint8Array(m.data);
            notify();
          } else if (m.type === 'failed') {
            fail(new Error(m.message));
          } else {
            answer(m.type);  // ready, no-webgl
          }
        };
        p.worker.onerror = function(event) {
          event.preventDefault();
          fail(new Error('a drawing worker failed (' + event.message + ')'));
        };
        if (p.show === show) {
          answer('ready');
          return;
        }
        var files = show_files(true);
        p.show = show;
        p.worker.postMessage({ type: 'start', files: files, tex_dir: tex_dir, photo: photo, seed: seed, doc: doc,
                               width: o.width, height: o.height }, files.map(function(f) { return f[1].buffer; }));
      });
    });
    var said = await Promise.all(started);
    if (failure || said.indexOf('no-webgl') >= 0 || said.indexOf('stopped') >= 0) {
      stop();
      if (failure)
        throw failure;
      return said.indexOf('stopped') >= 0 ? { jobs: jobs, frame: async function() { return null; }, stop: stop } : null;
    }
    for (var k = 0; k < Math.min(frames, ahead * jobs); ++k)
      ask(k);
    return {
      jobs: jobs,
      frame: async function(k) {
        while (!(k in drawn) && !failure && !stopped)
          await new Promise(function(resolve) { wake = resolve; });
        if (failure)
          throw failure;
        var data = drawn[k];
        delete drawn[k];
        ask(k + ahead * jobs);
        return data || null;
      },
      keep: function() {
        used.forEach(function(p) { p.worker.onmessage = p.worker.onerror = null; });
        pool_timer = setTimeout(end_pool, keep_ms);
      },
      stop: stop,
    };
  }

  // The pop: silent but for a 1 kHz tone lasting exactly the frame at or
  // after 3000 ms, as vexa-capture's track.
  function pop_samples(o, frames) {
    var total = frame_sample(frames, o.rate, sample_rate);
    var first = frame_count(o.from, pop_at_ms, o.rate);
    var start = 0, end = 0;
    if (o.from <= pop_at_ms && first < frames) {
      start = frame_sample(first, o.rate, sample_rate);
      end = frame_sample(first + 1, o.rate, sample_rate);
    }
    // Eased in and out over 8 samples (audio_pop.h: pop_ease), so that Opus
    // does not ring past the peak.
    var ease = function(n) { return 0.5 - 0.5 * Math.cos(Math.PI * Math.min(Math.max(n / 8, 0), 1)); };
    var samples = new Float32Array(total);
    for (var s = start; s < end; ++s)
      samples[s] = pop_level * Math.cos(2 * Math.PI * pop_hz * (s - start) / sample_rate) *
                   ease(s + 1 - start) * ease(end - s);
    return samples;
  }

  // The sound track: the pop (the same on each channel) and the music from
  // the span's first sample, their sum held within full scale.
  function sound_samples(o, frames) {
    var pop = o.pop ? pop_samples(o, frames) : new Float32Array(frame_sample(frames, o.rate, sample_rate));
    var from = Math.floor(o.from * sample_rate / 1000);
    return [0, 1].map(function(c) {
      var out = new Float32Array(pop), bed = o.music ? o.music.channels[c] : null;
      for (var n = 0; bed && n < out.length && from + n < bed.length; ++n)
        out[n] = Math.max(-1, Math.min(1, out[n] + bed[from + n]));
      return out;
    });
  }

  async function encode_sound(o, frames, config, add) {
    var failure = null;
    var encoder = new AudioEncoder({ output: add, error: function(e) { failure = e; } });
    encoder.configure(config);
    var tracks = sound_samples(o, frames), block = 960, total = tracks[0].length;
    for (var at = 0; at < total; at += block) {
      var count = Math.min(block, total - at);
      var planes = new Float32Array(count * channels);
      for (var c = 0; c < channels; ++c)
        planes.set(tracks[c].subarray(at, at + count), c * count);
      var data = new AudioData({ format: 'f32-planar', sampleRate: sample_rate, numberOfChannels: channels,
                                 numberOfFrames: count, timestamp: Math.round(at * 1e6 / sample_rate),
                                 data: planes });
      encoder.encode(data);
      data.close();
    }
    await encoder.flush();
    encoder.close();
    if (failure)
      throw failure;
  }

  // The default artwork, painted by a worker at start (painter.js), whole.
  function artwork_painted() {
    return Module._web_artwork_ready() ? Promise.resolve() : new Promise(function(resolve) {
      var before = Module['on_painted'];
      Module['on_painted'] = function() { Module['on_painted'] = before; if (before) before(); resolve(); };
    });
  }

  async function run(o, progress, job) {
    var why = unavailable();
    if (why)
      throw new Error(why);
    await artwork_painted();
    var sound = o.pop || o.music ? await sound_choice(o.container) : null;
    var chosen = await pick_codec(o, sound && sound.format);
    if (!chosen)
      throw new Error('This browser can encode neither H.264 nor VP9 video at ' + o.width + 'x' + o.height + '.');
    var M = Mediabunny;
    var target = new M.BufferTarget();
    var output = new M.Output({
      format: chosen.format === 'mp4' ? new M.Mp4OutputFormat({ fastStart: 'in-memory' }) : new M.WebMOutputFormat(),
      target: target,
    });
    var fps = o.rate[0] / o.rate[1];
    var video = new M.EncodedVideoPacketSource(chosen.codec);
    output.addVideoTrack(video, { frameRate: fps });
    var audio = null;
    if (sound) {
      if (chosen.format !== sound.format)  // no video codec for the sound's container: Opus goes in either
        sound = { format: chosen.format, codec: 'opus', config: opus_config };
      audio = new M.EncodedAudioPacketSource(sound.codec);
      output.addAudioTrack(audio);
    }
    await output.start();

    // Packets go to the muxer one after the other, in the order they come.
    var added = Promise.resolve();
    function adder(source) {
      return function(chunk, meta) {
        var packet = M.EncodedPacket.fromEncodedChunk(chunk);
        added = added.then(function() { return source.add(packet, meta); });
      };
    }
    var failure = null;
    var encoder = new VideoEncoder({ output: adder(video), error: function(e) { failure = e; } });
    encoder.configure(chosen.config);
    var frames = frame_count(o.from, o.to, o.rate);
    var key_every = Math.max(1, Math.round(2 * fps));
    var source = null, made = false;
    try {
      if (Module._web_export_begin())
        throw new Error('the show could not be loaded (the notice says why)');
      var jobs = o.jobs === undefined ? default_jobs() : o.jobs;
      if (jobs > 0 && workers_can_draw())
        source = await worker_frames(o, jobs, frames, job);
      source = source || page_frames(o);
      job.stop = source.stop;
      if (job.cancelled)
        source.stop();
      for (var k = 0; k < frames && !job.cancelled; ++k) {
        var data = await source.frame(k);
        if (job.cancelled)
          break;
        var frame = new VideoFrame(data, {
          format: 'I420', codedWidth: o.width, codedHeight: o.height,
          timestamp: Math.round(k * 1e6 * o.rate[1] / o.rate[0]),
          duration: Math.round(1e6 * o.rate[1] / o.rate[0]),
          colorSpace: { primaries: 'bt709', transfer: 'bt709', matrix: 'bt709', fullRange: false },
        });
        encoder.encode(frame, { keyFrame: k % key_every === 0 });
        frame.close();
        while (encoder.encodeQueueSize > 2 && !failure)
          await new Promise(function(resolve) { encoder.addEventListener('dequeue', resolve, { once: true }); });
        if (failure)
          throw failure;
        progress(k + 1, frames);
        await yield_to_page();
      }
      if (job.cancelled) {
        encoder.close();
        await output.cancel();
        return null;
      }
      await encoder.flush();
      encoder.close();
      if (failure)
        throw failure;
      if (audio)
        await encode_sound(o, frames, sound.config, adder(audio));
      await added;
      if (job.cancelled) {
        await output.cancel();
        return null;
      }
      await output.finalize();
      made = true;
      source.keep();
    } catch (e) {
      if (encoder.state !== 'closed')
        encoder.close();
      if (output.state !== 'canceled' && output.state !== 'finalized')
        await output.cancel().catch(function() {});
      throw e;
    } finally {
      if (source && !made)
        source.stop();
      Module._web_export_end();
    }
    var type = chosen.format === 'mp4' ? 'video/mp4' : 'video/webm';
    return { blob: new Blob([target.buffer], { type: type }), name: 'vexa.' + chosen.format, jobs: source.jobs };
  }

  function start(options, progress) {
    var job = { cancelled: false, stop: null,
                cancel: function() { job.cancelled = true; if (job.stop) job.stop(); } };
    job.done = run(options, progress || function() {}, job);
    return job;
  }

  return { start: start, unavailable: unavailable, frame_time: frame_time, frame_count: frame_count, aac: aac,
           sound_choice: sound_choice };
})();
