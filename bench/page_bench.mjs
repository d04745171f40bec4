// page_bench.mjs - the show's web page in headless Chromium (SwiftShader):
// the cost of a show frame at 1024x768 against an empty WebGL clear, and the
// time from navigation to the first show frame. Run by script/bench after
// script/web; reports only, checks nothing.
//
//   node bench/page_bench.mjs build-web/vexa.html [runs]
//
// Chromium paces frames at the display rate, so the frame is timed inside
// the page (web_bench_frames): a burst of frames of one show time, each
// waited for by reading back a pixel, against the same burst of cleared
// frames.
// The first show frame comes after the page's one-second settling pause;
// the load part is that time less the second.
import { launch, open_page } from '../web/browser.mjs';

const page_path = process.argv[2];
const runs = Number(process.argv[3] || 5);
if (!page_path) {
  console.error('usage: node bench/page_bench.mjs PAGE.html [runs]');
  process.exit(2);
}
const width = 1024, height = 768;
const burst = 30;  // frames per timed burst
const median = (v) => [...v].sort((a, b) => a - b)[Math.floor(v.length / 2)];

const browser = await launch();
try {
  const first = [];
  for (let i = 0; i < runs; ++i) {
    const show = await open_page(browser, page_path, '?seed=1', width, height);
    await show.first_frame();
    first.push(await show.call('web_first_frame_ms'));
    await show.close();
  }
  const f = median(first);
  console.log(`page: navigation to the first show frame, median of ${runs}: ${f.toFixed(0)} ms ` +
              `(${(f - 1000).toFixed(0)} ms loading + the 1000 ms settling pause) ` +
              `[${Math.min(...first).toFixed(0)}-${Math.max(...first).toFixed(0)}]`);

  const phases = [['card', 50], ['bar', 500], ['closing', 12500], ['flight', 13500], ['fade', 15000]];
  for (const photo of [false, true]) {
    const show = await open_page(browser, page_path, `?t=500&paused&seed=1${photo ? '&photo' : ''}`, width, height);
    await show.first_frame();
    const per_frame = async (t, clear) => {
      const times = [];
      for (let i = 0; i < runs; ++i)
        times.push(await show.call('web_bench_frames', t, burst, clear ? 1 : 0) / burst);
      return median(times);
    };
    await per_frame(500, false);  // warm-up: shaders, texture uploads
    const clear = await per_frame(0, true);
    const line = [];
    for (const [name, t] of phases) {
      if (photo && t < 9000)
        continue;
      const ms = await per_frame(t, false);
      line.push(`${name} ${ms.toFixed(2)} ms (${(ms / clear).toFixed(1)}x)`);
    }
    console.log(`page frame at ${width}x${height}${photo ? ' with the photo' : ''}, ` +
                `against a cleared frame of ${clear.toFixed(2)} ms: ${line.join(', ')}`);
    await show.close();
  }
} finally {
  await browser.close();
}
