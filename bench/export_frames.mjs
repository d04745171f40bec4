// export_frames.mjs - records how long each frame of a real export takes in
// the page (the whole show at 1280x720, 30 fps, with the photo backdrop), for
// the time-left estimator's test and its phase weights (src/web/time_left.js):
// writes {starts, frame_ms} as JSON to the file named, and prints the mean
// cost of a frame in each phase (the leader, the closing to the throw, the
// throw and fade) and its ratio to the leader's: time_left.weights.
//
//   VEXA_PAGE=build-web/vexa.html node bench/export_frames.mjs tests/data/export_frames.json
import { launch, open_page } from '../web/browser.mjs';
import fs from 'node:fs';

const browser = await launch();
try {
  const show = await open_page(browser, process.env.VEXA_PAGE, '?seed=3&photo&paused', 1024, 768);
  await show.first_frame();
  const frame_ms = await show.page.evaluate(() => new Promise((resolve, reject) => {
    const times = [];
    let last = performance.now();
    const job = vexa_export.start({ from: 0, to: 16000, rate: [30, 1], width: 1280, height: 720, pop: false },
                                  () => { const now = performance.now(); times.push(now - last); last = now; });
    job.done.then(() => resolve(times), reject);
  }));
  const starts = [0, 270, 390];  // at 30 fps: 0, 9000 ms (the closing), 13000 ms (the throw)
  const mean = (a) => a.reduce((x, y) => x + y, 0) / a.length;
  const means = starts.map((s, p) => mean(frame_ms.slice(s, starts[p + 1])));
  fs.writeFileSync(process.argv[2], JSON.stringify({ starts, frame_ms: frame_ms.map((t) => Math.round(t * 10) / 10) }) + '\n');
  console.log('ms a frame: ' + means.map((m) => `${m.toFixed(1)} (${(m / means[0]).toFixed(2)}x)`).join(', '));
  await show.close();
} finally {
  await browser.close();
}
