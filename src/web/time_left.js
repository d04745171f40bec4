// time_left.js - the export's time left, from the frames measured so far.
// A show's phases cost differently per frame (the leader's card and bar are
// cheap; the closing's photo and captions dearer; the strips thrown and the
// fade over the photo dearest), so the average of every frame so far is far
// too low in the leader. The estimate takes the mean of the
// frames measured in the current phase for what is left of it, and for each
// later phase that mean times the phase's relative cost (`weights`, the
// per-frame costs of a recorded export: only their ratios matter).
//
//   time_left(frame_ms, starts, total, weights)  // -> ms, NaN before a frame
//     frame_ms  the measured times of frames 0 .. n-1 (ms each)
//     starts    the first frame of each phase, ascending ([0, 270, 390]:
//               a leader of 270 frames, the closing up to the throw, the
//               throw and the fade)
//     total     the video's frame count
//     weights   relative cost per frame of each phase: time_left.weights,
//               those three phases' in a recorded export
//               (tests/data/export_frames.json, bench/export_frames.mjs)
//
// Until a phase has a few frames of its own, the phase before it stands in
// (scaled by the weights). Costs O(frames of the phase) a call: call it a
// few times a second, not for every frame.
var time_left = (function() {
  'use strict';

  var enough = 4;  // frames of a phase before its own mean is trusted

  function phase_at(starts, k) {
    var p = 0;
    while (p + 1 < starts.length && starts[p + 1] <= k)
      ++p;
    return p;
  }

  function time_left(frame_ms, starts, total, weights) {
    var done = frame_ms.length;
    if (!done)
      return NaN;
    var phase = phase_at(starts, done - 1), base = phase;
    if (done - starts[phase] < enough && phase > 0)
      base = phase - 1;
    var from = starts[base], to = base === phase ? done : starts[phase], sum = 0;
    for (var k = from; k < to; ++k)
      sum += frame_ms[k];
    var mean = sum / Math.max(to - from, 1) / (weights[base] || 1);  // per unit of weight
    var left = 0;
    for (var p = phase; p < starts.length; ++p) {
      var end = p + 1 < starts.length ? Math.min(starts[p + 1], total) : total;
      left += Math.max(end - Math.max(starts[p], done), 0) * mean * (weights[p] || 1);
    }
    return left;
  }

  time_left.weights = [1, 1.94, 3.0];  // the leader, the closing to the throw, the throw and fade
  return time_left;
})();
