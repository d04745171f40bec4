// music.js - the page's music bed: the person's sound file decoded by the
// browser, laid under the show as vexa-capture lays it (src/music), and
// played in the preview in step with show time.
//
//   vexa_music.decode(bytes)          // Promise of the music, 48 kHz stereo; rejects a file that is not sound
//   vexa_music.use(bytes)             // decode and keep it as the show's music (null: none); on a refusal
//                                     //   the music before it stays
//   vexa_music.length_ms(start_ms)    // how long the kept music plays from start_ms (null: none kept)
//   vexa_music.bed(sound, show_ms)    // the show's music: {channels: [left, right], loudness, gain_db} or null
//   vexa_music.follow(time_ms, playing, sound, show_ms)  // each frame: the preview's sound follows show time
//   vexa_music.position()             // where the preview's sound is, show ms (null: not playing)
//
// The bed, in the order a listener hears it measured: the music from its
// start offset, looped when shorter than the show (unless sound.loop is
// false), one gain bringing it to sound.music_level integrated loudness
// measured on all of that before the fades, the true-peak limiter at
// -1 dBTP (loudness.js), then linear fades, the fade-out ending at the
// show's last sample. The browser decodes and resamples (decodeAudioData
// at 48 kHz); an OfflineAudioContext mixes more than two channels down to
// stereo as speakers would.
var vexa_music = (function() {
  'use strict';

  var rate = 48000, true_peak_db = -1;
  var kept = null;   // {channels: [left, right], frames}
  var made = null;   // {key, bed}
  var preview = { context: null, node: null, started: 0, from_ms: 0, bed: null };
  var drift_ms = 120;  // the preview's sound starts again when show time is this far from it

  var sample_at = function(ms) { return Math.floor(ms * rate / 1000); };

  async function decode(bytes) {
    var context = new OfflineAudioContext(2, 1, rate);
    var buffer = await context.decodeAudioData(bytes.slice().buffer);
    if (!buffer.length)
      throw new Error('it holds no sound');
    if (buffer.numberOfChannels > 2) {  // speakers' down-mix
      var mixer = new OfflineAudioContext(2, buffer.length, rate), source = mixer.createBufferSource();
      source.buffer = buffer;
      source.connect(mixer.destination);
      source.start();
      buffer = await mixer.startRendering();
    }
    var left = buffer.getChannelData(0);
    return { channels: [left, buffer.numberOfChannels > 1 ? buffer.getChannelData(1) : left], frames: buffer.length };
  }

  async function use(bytes) {
    if (!bytes) {
      kept = made = null;
      return null;
    }
    var music = await decode(bytes);
    kept = music;
    made = null;
    return music;
  }

  function length_ms(start_ms) {
    return kept ? Math.floor(Math.max(0, kept.frames - sample_at(start_ms || 0)) * 1000 / rate) : null;
  }

  function make_bed(music, sound, show_ms) {
    var frames = sample_at(show_ms), start = sample_at(sound.music_start_ms || 0);
    var channels = [new Float32Array(frames), new Float32Array(frames)];
    var period = Math.max(0, music.frames - start);
    for (var at = 0; period && at < frames; at += period) {
      var n = Math.min(frames - at, period);
      channels.forEach(function(out, c) { out.set(music.channels[c].subarray(start, start + n), at); });
      if (sound.loop === false)
        break;
    }
    var loudness = vexa_loudness.integrated(channels, rate);
    var level = sound.music_level !== undefined ? sound.music_level : -16;
    var gain_db = isFinite(loudness) ? level - loudness : 0;  // silence stays silence
    var gain = Math.pow(10, gain_db / 20);
    channels.forEach(function(x) {
      for (var i = 0; i < frames; ++i)
        x[i] *= gain;
    });
    vexa_loudness.limit(channels, rate, true_peak_db);
    var fade_in = sample_at(sound.fade_in_ms || 0);
    var fade_out = sample_at(sound.fade_out_ms !== undefined ? sound.fade_out_ms : 2000);
    channels.forEach(function(x) {
      for (var i = 0; i < fade_in && i < frames; ++i)
        x[i] *= i / fade_in;
      for (var k = 0; k < fade_out && k < frames; ++k)  // k samples before the last
        x[frames - 1 - k] *= k / fade_out;
    });
    return { channels: channels, loudness: loudness, gain_db: gain_db };
  }

  // The bed for this sound and show length, made once for each.
  function bed(sound, show_ms) {
    if (!kept || !sound || !sound.music)
      return null;
    var key = JSON.stringify([sound.music_start_ms, sound.music_level, sound.fade_in_ms, sound.fade_out_ms,
                              sound.loop, show_ms]);
    if (!made || made.key !== key || made.music !== kept)
      made = { key: key, music: kept, bed: make_bed(kept, sound, show_ms) };
    return made.bed;
  }

  // --- the preview --------------------------------------------------------

  function stop() {
    if (preview.node) {
      preview.node.onended = null;
      preview.node.stop();
      preview.node.disconnect();
      preview.node = null;
    }
  }

  function position() {
    if (!preview.node || !preview.context || preview.context.state !== 'running')
      return null;
    return preview.from_ms + (preview.context.currentTime - preview.started) * 1000;
  }

  function start_at(time_ms, b) {
    stop();
    var c = preview.context;
    if (!c) {
      c = preview.context = new AudioContext({ sampleRate: rate, latencyHint: 'playback' });
      // Browsers start sound only after a gesture: the next one resumes it.
      ['pointerdown', 'keydown', 'touchend'].forEach(function(type) {
        window.addEventListener(type, function() { if (c.state === 'suspended') c.resume(); }, true);
      });
    }
    if (preview.bed !== b) {
      var buffer = c.createBuffer(2, b.channels[0].length, rate);
      buffer.copyToChannel(b.channels[0], 0);
      buffer.copyToChannel(b.channels[1], 1);
      preview.buffer = buffer;
      preview.bed = b;
    }
    var node = c.createBufferSource();
    node.buffer = preview.buffer;
    node.connect(c.destination);
    preview.started = c.currentTime;
    preview.from_ms = time_ms;
    node.start(preview.started, Math.min(time_ms / 1000, preview.buffer.duration));
    preview.node = node;
  }

  // Called every frame with the show's time and whether it runs.
  function follow(time_ms, playing, sound, show_ms) {
    var b = playing ? bed(sound, show_ms) : null;
    if (!b) {
      stop();
      return;
    }
    var at = position();
    if (preview.bed !== b || !preview.node || (at !== null && Math.abs(at - time_ms) > drift_ms))
      start_at(time_ms, b);
    else if (at === null && preview.context.state === 'running')
      start_at(time_ms, b);
  }

  return { decode: decode, use: use, length_ms: length_ms, bed: bed, follow: follow, position: position,
           rate: rate, sample_at: sample_at };
})();
