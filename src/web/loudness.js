// loudness.js - the page's loudness meter and true-peak limiter for its
// music bed (music.js), measuring and limiting as vexa-capture's music does
// (src/music: libebur128, music_limiter.cpp).
//
//   var lufs = vexa_loudness.integrated([left, right], 48000);  // -Infinity when silent
//   vexa_loudness.limit([left, right], 48000, -1);               // in place, dBTP
//
// integrated() is ITU-R BS.1770-4 integrated loudness: each channel
// K-weighted (a high-shelf and a high-pass biquad, their coefficients worked
// out for the rate as libebur128 does), mean squares over 400 ms blocks
// every 100 ms, an absolute gate at -70 LUFS and a relative gate 10 LU below
// the blocks passing it. Left and right weigh 1.
//
// limit() holds the true peak (4x oversampled through a 32-tap Kaiser-windowed
// sinc per phase, channels linked) under the ceiling less 0.1 dB, looking
// 2 ms ahead so that the gain is down before a peak comes, recovering with a
// 100 ms time constant, the gain averaged over the look-ahead.
var vexa_loudness = (function() {
  'use strict';

  function k_weighting(rate) {
    var f0 = 1681.974450955533, G = 3.999843853973347, Q = 0.7071752369554196;
    var K = Math.tan(Math.PI * f0 / rate), Vh = Math.pow(10, G / 20), Vb = Math.pow(Vh, 0.4996667741545416);
    var a0 = 1 + K / Q + K * K;
    var pb = [(Vh + Vb * K / Q + K * K) / a0, 2 * (K * K - Vh) / a0, (Vh - Vb * K / Q + K * K) / a0];
    var pa = [1, 2 * (K * K - 1) / a0, (1 - K / Q + K * K) / a0];
    f0 = 38.13547087602444;
    Q = 0.5003270373238773;
    K = Math.tan(Math.PI * f0 / rate);
    var rb = [1, -2, 1];
    var ra = [1, 2 * (K * K - 1) / (1 + K / Q + K * K), (1 - K / Q + K * K) / (1 + K / Q + K * K)];
    return { pb: pb, pa: pa, rb: rb, ra: ra };
  }

  // The K-weighted squares of one channel summed per 100 ms step.
  function step_sums(x, rate, step) {
    var f = k_weighting(rate), sums = new Float64Array(Math.floor(x.length / step));
    var s1 = 0, s2 = 0, t1 = 0, t2 = 0;  // the two biquads' states (direct form II)
    for (var q = 0; q < sums.length; ++q) {
      var sum = 0;
      for (var n = q * step, end = n + step; n < end; ++n) {
        var w = x[n] - f.pa[1] * s1 - f.pa[2] * s2;
        var y = f.pb[0] * w + f.pb[1] * s1 + f.pb[2] * s2;
        s2 = s1;
        s1 = w;
        var v = y - f.ra[1] * t1 - f.ra[2] * t2;
        var z = f.rb[0] * v + f.rb[1] * t1 + f.rb[2] * t2;
        t2 = t1;
        t1 = v;
        sum += z * z;
      }
      sums[q] = sum;
    }
    return sums;
  }

  function integrated(channels, rate) {
    var step = Math.round(rate / 10), block = 4 * step;
    var sums = channels.map(function(x) { return step_sums(x, rate, step); });
    var blocks = [];
    for (var q = 3; q < sums[0].length; ++q) {
      var power = 0;
      for (var c = 0; c < sums.length; ++c)
        power += sums[c][q] + sums[c][q - 1] + sums[c][q - 2] + sums[c][q - 3];
      blocks.push(power / block);
    }
    var lufs = function(power) { return -0.691 + 10 * Math.log10(power); };
    var gated = function(floor) {
      var sum = 0, count = 0;
      blocks.forEach(function(p) {
        if (lufs(p) > floor) {
          sum += p;
          ++count;
        }
      });
      return count ? sum / count : 0;
    };
    var absolute = gated(-70);
    if (!absolute)
      return -Infinity;
    var relative = gated(lufs(absolute) - 10);
    return relative ? lufs(relative) : -Infinity;
  }

  var oversample = 4, half_taps = 16, margin_db = 0.1, release_s = 0.1;
  var taps = null, reach = 1;

  function bessel_i0(x) {
    var sum = 1, term = 1;
    for (var k = 1; k < 30; ++k) {
      term *= (x / (2 * k)) * (x / (2 * k));
      sum += term;
    }
    return sum;
  }

  // taps[p][k]: the weight of sample m + k - half_taps + 1 for the point m + p / oversample.
  function make_taps() {
    taps = [];
    for (var p = 1; p < oversample; ++p) {
      var row = new Float64Array(2 * half_taps), sum = 0;
      for (var k = 0; k < 2 * half_taps; ++k) {
        var t = p / oversample - (k - half_taps + 1), w = t / half_taps;
        var sinc = t === 0 ? 1 : Math.sin(Math.PI * t) / (Math.PI * t);
        row[k] = Math.abs(w) >= 1 ? 0 : sinc * bessel_i0(8 * Math.sqrt(1 - w * w)) / bessel_i0(8);
        sum += Math.abs(row[k]);
      }
      taps[p] = row;
      reach = Math.max(reach, sum);  // no point passes the largest sample near it times this
    }
  }

  function limit(channels, rate, ceiling_db) {
    if (!taps)
      make_taps();
    var ceiling = Math.pow(10, (ceiling_db - margin_db) / 20), count = channels[0].length;
    var lookahead = Math.round(rate * 2 / 1000);
    // The largest sample of each run of half_taps: most points need no interpolating.
    var block_peak = new Float32Array(Math.floor((count + half_taps - 1) / half_taps) + 1);
    channels.forEach(function(x) {
      for (var i = 0; i < count; ++i) {
        var b = (i / half_taps) | 0;
        block_peak[b] = Math.max(block_peak[b], Math.abs(x[i]));
      }
    });
    var need = new Float32Array(count).fill(1), any = false;
    for (var m = -half_taps; m < count + half_taps; ++m) {
      var inside = m + 1 >= half_taps && m + half_taps < count;
      if (inside) {
        var b = (m / half_taps) | 0, near = block_peak[b];
        if (b > 0)
          near = Math.max(near, block_peak[b - 1]);
        if (b + 1 < block_peak.length)
          near = Math.max(near, block_peak[b + 1]);
        if (near * reach <= ceiling)
          continue;
      }
      var peak = 0;
      for (var c = 0; c < channels.length; ++c) {
        var x = channels[c];
        if (m >= 0 && m < count)
          peak = Math.max(peak, Math.abs(x[m]));
        for (var p = 1; p < oversample; ++p) {
          var v = 0, row = taps[p];
          for (var k = 0; k < 2 * half_taps; ++k) {
            var i = m + k - half_taps + 1;  // silence beyond the ends
            if (inside || (i >= 0 && i < count))
              v += row[k] * x[i];
          }
          peak = Math.max(peak, Math.abs(v));
        }
      }
      if (peak > ceiling) {
        // the points after sample m lie between m and m + 1; beyond the ends the nearest sample carries them
        var g = ceiling / peak;
        [m, m + 1].forEach(function(j) {
          var at = j < 0 ? 0 : j >= count ? count - 1 : j;
          need[at] = Math.min(need[at], g);
        });
        any = true;
      }
    }
    if (!any)
      return;
    // The least need over [n, n + lookahead), released, then averaged over the window behind.
    var recover = 1 - Math.exp(-1 / (release_s * rate)), released = 1, held = new Float32Array(count);
    var least = new Int32Array(count), head = 0, tail = 0;  // indices whose needs rise along the queue
    for (var n = 0; n + 1 < count + lookahead; ++n) {
      if (n < count) {
        while (tail > head && need[least[tail - 1]] >= need[n])
          --tail;
        least[tail++] = n;
      }
      if (n + 1 < lookahead)
        continue;
      var j = n + 1 - lookahead;
      while (least[head] < j)
        ++head;
      released = Math.min(need[least[head]], released + (1 - released) * recover);
      held[j] = released;
    }
    var sum = 0;
    for (n = 0; n < count; ++n) {
      sum += held[n];
      if (n >= lookahead)
        sum -= held[n - lookahead];
      var window = Math.min(n + 1, lookahead);
      var gain = (sum + (lookahead - window) * held[0]) / lookahead;
      for (c = 0; c < channels.length; ++c)
        channels[c][n] *= gain;
    }
  }

  return { integrated: integrated, limit: limit };
})();
if (typeof module !== 'undefined')
  module.exports = vexa_loudness;
