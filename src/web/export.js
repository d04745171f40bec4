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
//   const job = vexa_export.start({ from: 0, to: 16000, rate: [30, 1], width: 1280, height: 720,
//                                   pop: false, music: bed or null, container: 'mp4' or 'webm' },
//                                 (done, total) => ...);
//   job.cancel();                 // the promise then gives null
//   const file = await job.done;  // { blob, name } or null; throws on failure
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

  async function run(o, progress, job) {
    var why = unavailable();
    if (why)
      throw new Error(why);
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
    var size = o.width * o.height * 3 / 2;
    var key_every = Math.max(1, Math.round(2 * fps));
    try {
      if (Module._web_export_begin())
        throw new Error('the show could not be loaded (the notice says why)');
      for (var k = 0; k < frames && !job.cancelled; ++k) {
        var at = Module._web_export_frame(frame_time(o.from, k, o.rate), o.width, o.height);
        if (!at)
          throw new Error('show time ' + frame_time(o.from, k, o.rate) + ' ms could not be drawn');
        var frame = new VideoFrame(Module.HEAPU8.subarray(at, at + size), {
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
    } catch (e) {
      if (encoder.state !== 'closed')
        encoder.close();
      if (output.state !== 'canceled' && output.state !== 'finalized')
        await output.cancel().catch(function() {});
      throw e;
    } finally {
      Module._web_export_end();
    }
    var type = chosen.format === 'mp4' ? 'video/mp4' : 'video/webm';
    return { blob: new Blob([target.buffer], { type: type }), name: 'vexa.' + chosen.format };
  }

  function start(options, progress) {
    var job = { cancelled: false, cancel: function() { job.cancelled = true; } };
    job.done = run(options, progress || function() {}, job);
    return job;
  }

  return { start: start, unavailable: unavailable, frame_time: frame_time, frame_count: frame_count, aac: aac,
           sound_choice: sound_choice };
})();
