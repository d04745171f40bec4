// studio_test.mjs - the page's studio as a person meets it, in headless
// Chromium: the first screen on a phone and a laptop, tap targets, an
// accessibility audit (axe-core), shows kept in the browser across a
// reload, .vexa files saved and opened, a link applied in an open tab, and
// the export's time-left estimate against a recorded export.
//
//   VEXA_PAGE=build-web/vexa.html node --test tests/studio_test.mjs
import { launch, open_page, wait_ms } from '../web/browser.mjs';
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import vm from 'node:vm';
import { createRequire } from 'node:module';

const require = createRequire(new URL('../web/package.json', import.meta.url));
const axe_script = require.resolve('axe-core/axe.min.js');
const page_path = process.env.VEXA_PAGE;
const here = path.dirname(new URL(import.meta.url).pathname);
const sizes = [
  { what: 'phone', width: 390, height: 844, touch: true },
  { what: 'laptop', width: 1366, height: 768, touch: false },
];

let browser, work;
before(async () => {
  assert.ok(page_path, 'VEXA_PAGE must be set');
  work = fs.mkdtempSync(path.join(os.tmpdir(), 'vexa-studio-'));
  browser = await launch();
});
after(async () => {
  await browser?.close();
  if (work)
    fs.rmSync(work, { recursive: true, force: true });
});

// The page at exactly w x h, its studio started (the form unlocked).
async function studio_page(w, h, { touch = false, downloads, context, query = '?seed=1' } = {}) {
  const show = await open_page(browser, page_path, query, w, h, { touch, downloads, context });
  await show.page.setViewport({ width: w, height: h, deviceScaleFactor: 1, hasTouch: touch, isMobile: touch });
  await show.first_frame();
  await ready(show.page);
  return show;
}
const ready = (page) => page.waitForFunction(() => !document.getElementById('studio-form').disabled &&
                                                  document.getElementById('seed').value !== '', { timeout: wait_ms });
const value = (page, id) => page.$eval(`#${id}`, (e) => (e.type === 'checkbox' ? e.checked : e.value));
const kept = (page) => page.evaluate(() => vexa_studio.flush());
const artwork = (page) => page.evaluate(() => ['string.bmp', 'string2.bmp', 'photo.bmp'].map(
  (n) => (FS.analyzePath(`/studio/tex/${n}`).exists ? Array.from(FS.readFile(`/studio/tex/${n}`)).join(',') : '')));

async function downloaded(dir, ending) {
  for (let i = 0; i < 300; ++i) {
    const files = fs.readdirSync(dir).filter((f) => f.endsWith(ending));
    if (files.length)
      return path.join(dir, files[0]);
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
  assert.fail(`no ${ending} was downloaded into ${dir}`);
}

test('phone and laptop: the preview and Make the video on the first screen, 44 px targets, no axe violations', async (t) => {
  for (const size of sizes)
    await t.test(size.what, async () => {
      const show = await studio_page(size.width, size.height, { touch: size.touch });
      const { page } = show;
      const seen = await page.evaluate(() => ['canvas', 'export'].map((id) => {
        const r = document.getElementById(id).getBoundingClientRect();
        const hit = document.elementFromPoint(r.x + r.width / 2, r.y + r.height / 2);
        return { id, top: r.top, bottom: r.bottom, height: r.height, on_top: hit?.id === id || hit?.closest?.('#player') !== null };
      }));
      for (const s of seen)
        assert.ok(s.top >= -1 && s.bottom <= size.height + 1 && s.height > 0 && s.on_top,
                  `#${s.id} is not on the first screen: ${JSON.stringify(s)}`);
      if (size.touch) {
        const player = await page.$eval('#player', (e) => e.getBoundingClientRect().height);
        assert.ok(player <= 0.4 * size.height + 1, `the preview takes ${player} of ${size.height} px`);
        await page.evaluate(() => window.scrollTo(0, 2000));  // the form scrolls, the preview stays
        assert.equal(await page.$eval('#player', (e) => Math.round(e.getBoundingClientRect().top)), 0);
        // Every control a finger can reach: its box (a checkbox: its label's), 44 x 44 at least;
        // a link inside running text is exempt.
        const small = await page.evaluate(() => [...document.querySelectorAll('input, select, textarea, button, a[href], summary')]
          .filter((c) => c.getClientRects().length && !c.closest('p'))
          .map((c) => {
            const target = c.type === 'checkbox' ? c.closest('label') : c;
            const r = target.getBoundingClientRect();
            return { id: c.id || c.textContent.trim(), w: Math.round(r.width), h: Math.round(r.height) };
          }).filter((c) => c.w < 44 || c.h < 44));
        assert.deepEqual(small, [], 'controls under 44 x 44 px');
      }
      await page.addScriptTag({ path: axe_script });
      const violations = await page.evaluate(async () => (await axe.run(document, { resultTypes: ['violations'] }))
        .violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`));
      assert.deepEqual(violations, [], `axe-core at ${size.width}x${size.height}`);
      assert.deepEqual(show.errors, []);
      await show.close();
    });
});

test('the shows are kept: reload, a second show, Save show and Open show, bad files refused', async () => {
  const dir = fs.mkdtempSync(path.join(work, 'keep-'));
  const context = await browser.createBrowserContext();
  const show = await studio_page(1366, 768, { context, downloads: dir });
  const { page } = show;
  const photo = path.join(work, 'photo.png');
  execFileSync('ffmpeg', ['-v', 'error', '-y', '-f', 'lavfi', '-i', 'testsrc2=size=320x180', '-frames:v', '1', photo]);
  await (await page.$('#photo-file')).uploadFile(photo);
  await page.waitForFunction(() => document.getElementById('photo-name').textContent === 'photo.png', { timeout: wait_ms });
  await page.type('#title', 'Mia 7');
  await page.click('#subtitle-off');
  await page.type('#lines', 'eins\nzwei');
  await page.click('#look-colour-on');
  await page.click('#make');
  await kept(page);
  const form = async () => Promise.all(['title', 'subtitle-off', 'lines', 'look-colour-on', 'photo-name', 'seed']
    .map((id) => (id === 'photo-name' ? page.$eval('#photo-name', (e) => e.textContent) : value(page, id))));
  const first = await form(), first_art = await artwork(page);
  assert.deepEqual(first.slice(0, 5), ['Mia 7', true, 'eins\nzwei', true, 'photo.png']);

  await page.reload();
  await show.first_frame();
  await ready(page);
  assert.deepEqual(await form(), first, 'after a reload');
  await page.waitForFunction(() => FS.analyzePath('/studio/tex/photo.bmp').exists, { timeout: wait_ms });
  assert.deepEqual(await artwork(page), first_art, 'the artwork after a reload');

  // A second show starts afresh and keeps its own words; the first keeps its.
  await page.click('#show-new');
  await page.waitForFunction(() => document.getElementById('show-list').options.length === 2, { timeout: wait_ms });
  assert.equal(await value(page, 'title'), '');
  await page.type('#title', 'Zweite');
  await kept(page);
  const ids = await page.$$eval('#show-list option', (o) => o.map((e) => e.value));
  for (const [id, title] of [[ids[1], 'Mia 7'], [ids[0], 'Zweite'], [ids[1], 'Mia 7']]) {
    await page.select('#show-list', id);
    await page.waitForFunction((t) => document.getElementById('title').value === t, { timeout: wait_ms }, title);
  }

  // Save show, then Open show in another browser: the same artwork, byte for byte.
  await page.click('#save-show');
  const saved = await downloaded(dir, '.vexa');
  // vexa-art paints the saved show's artwork byte for byte as the studio did (the page's faces are DejaVu).
  const painted = path.join(work, 'saved-art');
  execFileSync(process.env.VEXA_ART, ['--show', saved, '-o', painted],
               { env: { ...process.env, VEXA_ART_FONT_DIR: '/usr/share/fonts/truetype/dejavu' } });
  assert.deepEqual(['string.bmp', 'string2.bmp', 'photo.bmp'].map((n) => Array.from(fs.readFileSync(path.join(painted, n)))
    .join(',')), first_art, 'vexa-art --show on the saved show');
  await show.close();
  await context.close();
  const other = await studio_page(1366, 768);
  await (await other.page.$('#open-file')).uploadFile(saved);
  await other.page.waitForFunction(() => document.getElementById('title').value === 'Mia 7', { timeout: wait_ms });
  await other.page.waitForFunction(() => FS.analyzePath('/studio/tex/photo.bmp').exists, { timeout: wait_ms });
  assert.deepEqual(await artwork(other.page), first_art, 'the opened show\'s artwork');

  // Bad files: a plain message, the show as it was.
  const lacking = path.join(work, 'lacking.vexa'), not_zip = path.join(work, 'notes.vexa');
  fs.writeFileSync(not_zip, 'hello');
  execFileSync('bash', ['-c', `cd ${work} && printf '%s' '{"vexa": 1, "photo": {"file": "gone.jpg"}}' > show.vexa.json && ` +
                              `rm -f lacking.vexa && zip -q lacking.vexa show.vexa.json`]);
  for (const [file, why] of [[not_zip, /notes\.vexa: it is not a zip archive\. Nothing was opened\./],
                             [lacking, /lacking\.vexa: it names gone\.jpg but does not hold it/]]) {
    await (await other.page.$('#open-file')).uploadFile(file);
    await other.page.waitForFunction((w) => new RegExp(w).test(document.getElementById('shows-message').textContent),
                                     { timeout: wait_ms }, why.source);
    assert.equal(await value(other.page, 'title'), 'Mia 7');
  }
  assert.deepEqual(other.errors, []);
  await other.close();
});

test('a link opened in a tab already showing the page applies its words; Copy link from disk says why', async () => {
  const show = await studio_page(1366, 768);
  const { page } = show;
  await page.evaluate(() => { location.hash = '#title=Hallo%20Welt&subtitle=&line=eins&line=zwei&seed=77'; });
  await page.waitForFunction(() => document.getElementById('title').value === 'Hallo Welt', { timeout: wait_ms });
  assert.deepEqual(await Promise.all(['subtitle-off', 'lines', 'seed'].map((id) => value(page, id))),
                   [true, 'eins\nzwei', '77']);
  assert.equal(await page.evaluate(() => Module._web_seed()), 77);
  await page.click('#copy-link');
  assert.match(await page.$eval('#link-status', (e) => e.textContent), /web server/);

  // A damaged entry in the browser's storage: said in words, a new show started.
  await page.evaluate(() => new Promise((resolve) => {
    indexedDB.open('vexa-studio').onsuccess = (e) => {
      const tx = e.target.result.transaction(['shows', 'meta'], 'readwrite');
      tx.objectStore('shows').put({ id: 'bad', name: 'Bad', doc: 'not a show' });
      tx.objectStore('meta').put('bad', 'current');
      tx.oncomplete = resolve;
    };
  }));
  await page.goto(page.url().replace(/#.*$/, ''));
  await show.first_frame();
  await ready(page);
  assert.match(await page.$eval('#shows-message', (e) => e.textContent), /could not be read back/);
  await page.type('#title', 'weiter');
  assert.equal(await value(page, 'title'), 'weiter');
  assert.deepEqual(show.errors, []);
  await show.close();
});

test('served from localhost the page is an installable app that opens offline', async () => {
  const dir = path.dirname(page_path);
  const types = { '.html': 'text/html', '.js': 'text/javascript', '.webmanifest': 'application/manifest+json',
                  '.svg': 'image/svg+xml' };
  const server = http.createServer((request, response) => {
    const file = path.join(dir, path.basename(new URL(request.url, 'http://x').pathname));
    if (!fs.existsSync(file))
      return response.writeHead(404).end();
    response.writeHead(200, { 'content-type': types[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(response);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const context = await browser.createBrowserContext();
  try {
    const page = await context.newPage();
    page.setDefaultTimeout(wait_ms);
    await page.goto(`http://localhost:${server.address().port}/vexa.html?seed=1`);
    await page.waitForFunction(() => navigator.serviceWorker?.controller || navigator.serviceWorker?.ready
      .then((r) => r.active), { timeout: wait_ms });
    const manifest = await page.evaluate(async () => {
      const link = document.querySelector('link[rel=manifest]');
      return link && (await fetch(link.href)).json();
    });
    assert.equal(manifest?.display, 'standalone');
    await page.waitForFunction(() => caches.match('vexa.html').then((r) => !!r), { timeout: wait_ms });
    await page.setOfflineMode(true);
    await page.reload();
    await page.waitForFunction(() => typeof Module !== 'undefined' && Module.calledRun && Module._web_frames() > 0,
                               { timeout: wait_ms });
  } finally {
    await context.close();
    server.close();
  }
});

test('the time left, from a recorded export (leader fast, closing slow), within 25% from a quarter through', () => {
  const context = vm.createContext({});
  vm.runInContext(fs.readFileSync(path.join(here, '../src/web/time_left.js'), 'utf8') + ';this.time_left = time_left;',
                  context);
  const record = JSON.parse(fs.readFileSync(path.join(here, 'data/export_frames.json'), 'utf8'));
  const total = record.frame_ms.length, mean = (a) => a.reduce((x, y) => x + y, 0) / a.length;
  const [leader, closing] = [record.frame_ms.slice(0, record.starts[1]), record.frame_ms.slice(record.starts[1])];
  assert.equal(record.starts.length, context.time_left.weights.length);
  assert.ok(mean(closing) > 1.5 * mean(leader), 'the recording has no dear closing');
  for (const share of [0.25, 0.5, 0.75]) {
    const done = Math.round(share * total);
    const truth = record.frame_ms.slice(done).reduce((a, b) => a + b, 0);
    const guess = context.time_left(record.frame_ms.slice(0, done), record.starts, total, context.time_left.weights);
    assert.ok(Math.abs(guess - truth) <= 0.25 * truth,
              `at ${share * 100}%: ${Math.round(guess)} ms estimated, ${Math.round(truth)} ms were left`);
  }
});
