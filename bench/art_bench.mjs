// art_bench.mjs - the artwork made in the page (Module.art_make in headless
// Chromium, vexa-art's code in WebAssembly) against the native vexa-art on
// the same words and the same 1920x1080 JPEG. Run by script/bench after
// script/web; reports only, checks nothing.
//
//   node bench/art_bench.mjs build-web/vexa.html build/vexa-art [runs]
//
// The native time is the whole process, writing its twelve files to a
// directory in memory (/dev/shm, so no disk wait); the page's is the call
// alone, its images left in the page's memory.
import { launch, open_page } from '../web/browser.mjs';
import { execFileSync, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

const [page_path, vexa_art, runs_arg] = process.argv.slice(2);
if (!page_path || !vexa_art) {
  console.error('usage: node bench/art_bench.mjs PAGE.html VEXA-ART [runs]');
  process.exit(2);
}
const runs = Number(runs_arg || 5);
const median = (v) => [...v].sort((a, b) => a - b)[Math.floor(v.length / 2)];
const words = {
  title: 'Grüße, Zoë!', subtitle: 'שלום · مع السلامة',
  lines: ['ça a été très sympa', 'תודה רבה לכולם', 'شكرا جزيلا', 'café 42 שלום', 'see you in spring'],
};

const shm = fs.existsSync('/dev/shm') ? '/dev/shm' : os.tmpdir();
const work = fs.mkdtempSync(path.join(shm, 'vexa-art-bench-'));
const photo = path.join(work, 'photo.jpg');
execFileSync('ffmpeg', ['-v', 'error', '-y', '-f', 'lavfi', '-i', 'mandelbrot=size=1920x1080', '-frames:v', '1',
                        '-q:v', '3', photo]);

const browser = await launch();
try {
  const native = [];
  const args = ['--title', words.title, '--subtitle', words.subtitle, '--photo', photo];
  for (const line of words.lines)
    args.push('--line', line);
  for (let i = 0; i < runs; ++i) {
    const start = process.hrtime.bigint();
    const run = spawnSync(vexa_art, ['-o', path.join(work, `out-${i}`), ...args]);
    native.push(Number(process.hrtime.bigint() - start) / 1e6);
    if (run.status !== 0)
      throw new Error(`vexa-art failed: ${run.stderr}`);
  }

  const show = await open_page(browser, page_path, '?paused', 640, 480);
  await show.first_frame();
  const page = await show.page.evaluate(async (request, jpeg, n) => {
    request.photo = { name: 'photo.jpg', bytes: Uint8Array.from(atob(jpeg), (c) => c.charCodeAt(0)) };
    const times = [];
    for (let i = 0; i < n; ++i) {
      const start = performance.now();
      const result = Module.art_make(request);
      times.push(performance.now() - start);
      if (!result.ok)
        throw new Error(JSON.stringify(result.notes));
    }
    return times;
  }, words, fs.readFileSync(photo).toString('base64'), runs);
  // The look in the page: the same words through the show document, classic and with a colour, an outline and
  // a drop shadow on every text (as bench/art_look_bench does natively), taken in turn; goal 1.5x.
  const style = { colour: '#ffdc00', outline: { width: 4, colour: '#000000' },
                  shadow: { dx: 6, dy: 6, blur: 8, colour: '#000000a0' } };
  const docs = [{}, { title: style, subtitle: style, lines: style }].map((look) => JSON.stringify(
    { vexa: 1, title: words.title, subtitle: words.subtitle, lines: words.lines, look }));
  const looks = await show.page.evaluate((texts, n) => {
    const times = texts.map(() => []);
    for (let i = 0; i < n; ++i)
      texts.forEach((text, j) => {
        const start = performance.now();
        const result = Module.art_make_show(text, '/show', 'show.vexa.json');
        times[j].push(performance.now() - start);
        if (!result.ok)
          throw new Error(JSON.stringify(result.notes));
      });
    return times;
  }, docs, runs);
  await show.close();
  const [plain, styled] = looks.map(median);
  console.log(`art: styled in the page (colour, outline and shadow on every text) against the classic look, ` +
              `median of ${runs}: ${styled.toFixed(0)} ms against ${plain.toFixed(0)} ms = ${(styled / plain).toFixed(2)} x ` +
              `(goal at most 1.5 x)`);

  const n = median(native), p = median(page);
  console.log(`art: the twelve images for the same words and a 1920x1080 JPEG, median of ${runs}: ` +
              `page ${p.toFixed(0)} ms [${Math.min(...page).toFixed(0)}-${Math.max(...page).toFixed(0)}], ` +
              `native vexa-art ${n.toFixed(0)} ms [${Math.min(...native).toFixed(0)}-${Math.max(...native).toFixed(0)}] ` +
              `= ${(p / n).toFixed(2)} x`);
} finally {
  await browser.close();
  fs.rmSync(work, { recursive: true, force: true });
}
