// export_frames.mjs - records how long each frame of a real export takes in
// the page (the whole show at 1280x720, 30 fps, with the photo backdrop), for
// the time-left estimator's test and its phase weights (src/web/time_left.js):
// writes {starts, frame_ms} as JSON to the file named, and prints the mean
// cost of a leader frame and of a closing frame.
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
  const starts = [0, 270];  // the leader's 9 s at 30 fps, then the closing
  const mean = (a) => a.reduce((x, y) => x + y, 0) / a.length;
  const leader = mean(frame_ms.slice(0, 270)), closing = mean(frame_ms.slice(270));
  fs.writeFileSync(process.argv[2], JSON.stringify({ starts, frame_ms: frame_ms.map((t) => Math.round(t * 10) / 10) }) + '\n');
  console.log(`leader ${leader.toFixed(1)} ms a frame, closing ${closing.toFixed(1)} ms (${(closing / leader).toFixed(2)}x)`);
  await show.close();
} finally {
  await browser.close();
}
