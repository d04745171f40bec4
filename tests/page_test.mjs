// page_test.mjs - the show's web page (build-web/vexa.html, script/web) in
// headless Chromium against the program's own pictures and keys.
//
//   VEXA_PAGE=build-web/vexa.html VEXA_CAPTURE=build/vexa-capture VEXA_BUILD=build \
//     node --test tests/page_test.mjs
//
// Pictures: the page at ?t=MS&paused&seed=N is compared with vexa-capture
// --time MS --seed N at the same size. Only the paused page draws the pause
// caption, so its box is left out. The two rasterisers (SwiftShader in the
// browser, Mesa's llvmpipe for vexa-capture) differ in texture filtering, a
// few levels inside textures, and in which pixels the edges of rotated and
// tilted quads cover: one-pixel lines along the strips, up to full contrast
// but a few hundred pixels at most (0.1% of the picture), and almost none
// of them by more than 64 levels. So at most 0.1% of the pixels may differ
// by more than 8 levels in a channel (a fade 100 ms off, a wrong colour
// move thousands by 10 or more) and at most 0.01% by more than 64 (a wrong
// card, a strip missing or out of place move hundreds to thousands by
// nearly full contrast).
import { launch, open_page, state, wait_ms } from '../web/browser.mjs';
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import zlib from 'node:zlib';
import path from 'node:path';
import { createRequire } from 'node:module';
import { fileURLToPath } from 'node:url';

const require = createRequire(new URL('../web/package.json', import.meta.url));
const { PNG } = require('pngjs');

const page_path = process.env.VEXA_PAGE;
const capture = process.env.VEXA_CAPTURE;
const build = process.env.VEXA_BUILD;
const width = 1024, height = 768;
// [channel difference above which a pixel differs, share of the picture that may]
const tolerances = [[8, 0.001], [64, 0.0001]];
// A tall frame draws the whole 1024-texel card into a few hundred pixels: the
// two renderers' linear filtering of its grain differs by a few levels in more
// places, never by much.
const minified = [[8, 0.004], [64, 0.0001]];

let browser;
let work;
before(async () => {
  assert.ok(page_path && capture && build, 'VEXA_PAGE, VEXA_CAPTURE and VEXA_BUILD must be set');
  work = fs.mkdtempSync(path.join(os.tmpdir(), 'vexa-page-'));
  browser = await launch();
});
after(async () => {
  await browser?.close();
  if (work)
    fs.rmSync(work, { recursive: true, force: true });
});

function reference(t, seed, photo, w = width, h = height, layout = []) {
  const out = path.join(work, `ref-${t}-${w}x${h}${layout.join('').replace(/[^\w.-]/g, '_')}.png`);
  execFileSync(capture, ['--time', String(t), '--seed', String(seed), '--size', `${w}x${h}`,
                         '--out', out, ...(photo ? ['--photo'] : []), ...layout], { cwd: build, stdio: 'inherit' });
  return PNG.sync.read(fs.readFileSync(out));
}

// The pause caption's box: "- pause -" from world (467, 512), shaken by up
// to 2 units, 10-pixel text about 40 pixels wide. In a frame of another
// size, the rows it may fall on.
function in_caption(x, y, w, h) {
  const top = h / 2 - 14;
  if (w !== width || h !== height)
    return y >= top && y < top + 20;
  const left = Math.round(467 * width / 1024) - 4;
  return x >= left && x < left + 56 && y >= top && y < top + 20;
}

// Pixels (outside the caption unless told) whose largest channel difference exceeds `level`.
function differing(a, b, level = 0, skip_caption = true) {
  assert.equal(a.width, b.width);
  assert.equal(a.height, b.height);
  let count = 0;
  for (let y = 0; y < a.height; ++y)
    for (let x = 0; x < a.width; ++x) {
      const i = (y * a.width + x) * 4;
      const d = Math.max(Math.abs(a.data[i] - b.data[i]), Math.abs(a.data[i + 1] - b.data[i + 1]),
                         Math.abs(a.data[i + 2] - b.data[i + 2]));
      if (d > level && !(skip_caption && in_caption(x, y, a.width, a.height)))
        ++count;
    }
  return count;
}

function assert_matches(picture, ref, what, limits = tolerances) {
  const found = limits.map(([level, share]) => ({
    level, count: differing(picture, ref, level), allowed: Math.floor(share * picture.width * picture.height) }));
  assert.ok(found.every((f) => f.count <= f.allowed),
            `${what}: pixels differing from vexa-capture's ` +
            found.map((f) => `by more than ${f.level}: ${f.count} (at most ${f.allowed})`).join(', '));
}

async function paused_page(t, seed, photo) {
  const show = await open_page(browser, page_path, `?t=${t}&paused&seed=${seed}${photo ? '&photo' : ''}`,
                               width, height);
  await show.first_frame();
  return show;
}

test('the paused page draws what vexa-capture draws', async (t) => {
  const cases = [
    { what: 'card 5', t: 50, seed: 1 },
    { what: 'progress bar', t: 3500, seed: 1 },
    { what: 'card -3 shaken', t: 8020, seed: 1 },
    { what: 'first caption', t: 10500, seed: 1 },
    { what: 'strips popping in', t: 11800, seed: 7 },
    // The 2048-texel strips halved onto a 1024-pixel frame: the two
    // rasterisers' sample points part on more letter edges than elsewhere.
    { what: 'strips in flight', t: 13500, seed: 7, limits: [[8, 0.0012], [64, 0.0001]] },
    { what: 'fade', t: 15000, seed: 7 },
    { what: 'photo, captions and strips', t: 12500, seed: 3, photo: true, screenshot: true },
    { what: 'photo in the fade', t: 14500, seed: 3, photo: true },
  ];
  for (const c of cases)
    await t.test(`${c.what} (${c.t} ms)`, async () => {
      const show = await paused_page(c.t, c.seed, c.photo);
      const picture = await show.picture();
      assert.deepEqual(show.errors, []);
      await show.close();
      if (c.screenshot)  // the README's picture of the page (docs/page.png, made smaller)
        fs.writeFileSync(path.join(build, 'page-screenshot.png'), PNG.sync.write(picture));
      assert_matches(picture, reference(c.t, c.seed, c.photo), c.what, c.limits);
    });
});

// A phone held upright gets the tall layout (the card fitted, its paper above
// and below), turned it gets the wide one; ?crop keeps the classic picture,
// the photo's square between black bands.
// The whole window for the show, the studio's panel out of the way.
async function window_size(show, w, h) {
  const before = await show.frames();
  await show.page.evaluate(() => document.body.classList.add('player-only'));
  await show.page.setViewport({ width: w, height: h, deviceScaleFactor: 1 });
  // The window's resize may draw a frame before the studio fits the canvas to
  // the player: wait for one drawn at the player's new size.
  await show.page.waitForFunction((n) => {
    const player = document.getElementById('player');
    return Module._web_frames() > n && Module.canvas.width === player.clientWidth &&
           Module.canvas.height === player.clientHeight;
  }, { timeout: wait_ms }, before);
}

test('the page lays the show out for its window and follows it', async () => {
  const phone = await open_page(browser, page_path, '?t=8050&paused&seed=3', 390, 844);
  await phone.first_frame();
  await window_size(phone, 390, 844);
  const upright = await phone.picture();
  await window_size(phone, 844, 390);
  const turned = await phone.picture();
  assert.deepEqual(phone.errors, []);
  await phone.close();
  // Compared at the canvas's own size, which the page's other panels may trim;
  // upright, the picture keeps the window's tall shape.
  assert.ok(upright.height > 2 * upright.width, `upright canvas ${upright.width}x${upright.height}`);
  assert_matches(upright, reference(8050, 3, false, upright.width, upright.height), 'upright', minified);
  assert_matches(turned, reference(8050, 3, false, turned.width, turned.height), 'turned');

  const crop = await open_page(browser, page_path, '?t=9500&paused&seed=3&photo&crop', 390, 844);
  await crop.first_frame();
  await window_size(crop, 390, 844);
  const classic = await crop.picture();
  await crop.close();
  assert_matches(classic, reference(9500, 3, true, classic.width, classic.height, ['--crop']), '?crop');

  // The studio's aspect frames the preview, laid out for it.
  const tall = await paused_page(10500, 3, true);
  const before = await tall.frames();
  await tall.page.select('#aspect', '9:16');
  await tall.frames_past(before);
  const picture = await tall.picture();
  await tall.close();
  assert.deepEqual([picture.width, picture.height], [432, 768]);
  assert_matches(picture, reference(10500, 3, true, 432, 768), 'the studio at 9:16');
});

test('keys: a plain key is reported, Space pauses, Down steps 100 ms; a resize redraws', async () => {
  const show = await open_page(browser, page_path, '?t=2200&seed=1', width, height);
  await show.first_frame();
  await show.page.keyboard.press('a');
  const playing = [await show.picture(), await show.picture()];
  assert.notEqual(differing(playing[0], playing[1]), 0, 'the show does not play');

  // A screenshot waits for the next frame, so the paused frame is drawn by
  // the end of the first; after it no frame is drawn at all.
  await show.page.keyboard.press('Space');
  await show.picture();
  const frames = await show.frames();
  const paused = [await show.picture(), await show.picture()];
  assert.equal(await show.frames(), frames, 'frames are drawn while paused');
  assert.equal(differing(paused[0], paused[1]), 0, 'the picture changes while paused');
  assert.ok(show.console_lines.includes('key: a(97)'), `console: ${JSON.stringify(show.console_lines)}`);
  await show.close();

  const stepped = await paused_page(3050, 1);
  const before_step = await stepped.frames();
  await stepped.page.keyboard.press('ArrowDown');
  await stepped.frames_past(before_step);
  const picture = await stepped.picture();
  // Paused, the page still redraws at its new size when the window changes.
  const before_resize = await stepped.frames();
  await stepped.resize(640, 480);
  // A frame may come between the window's change and the canvas's (the
  // studio fits the player to the window in an observer of its own).
  await stepped.page.waitForFunction((n) => Module.canvas.width === 640 && Module.canvas.height === 480 &&
                                            Module._web_frames() > n, { timeout: wait_ms }, before_resize)
    .catch(() => {});
  assert.deepEqual(await stepped.page.evaluate(() => [Module.canvas.width, Module.canvas.height]), [640, 480]);
  await stepped.close();
  assert_matches(picture, reference(3150, 1), 'Down from 3050 ms');
});

function black(picture) {
  for (let i = 0; i < picture.data.length; i += 4)
    if (picture.data[i] || picture.data[i + 1] || picture.data[i + 2])
      return false;
  return true;
}

test('the show ends black on Esc and at its end; a key or a click plays it again', async () => {
  const esc = await open_page(browser, page_path, '?t=0&seed=1', width, height);
  await esc.first_frame();
  await esc.page.keyboard.press('Escape');  // handled by the time the press returns
  assert.equal(await esc.state(), state.ended, 'Esc did not end the show');
  assert.ok(black(await esc.picture()), 'the picture is not black after Esc');
  const frames = await esc.frames();
  await esc.page.keyboard.press('x');
  await esc.frames_past(frames);
  assert.equal(await esc.state(), state.playing);
  assert.ok(!black(await esc.picture()), 'the show did not play again');
  await esc.close();

  const end = await open_page(browser, page_path, '?t=15900&seed=1', width, height);
  await end.until_state(state.ended);
  assert.ok(black(await end.picture()), 'the picture is not black at the end');
  await end.page.mouse.click(width / 2, height / 2);
  await end.until_state(state.playing);
  assert.deepEqual(end.errors, []);
  await end.close();
});

test('the page names every bad option, reads switches as on or off, and says when WebGL is missing', async () => {
  const bad = await open_page(browser, page_path, '?seed=x&t=99999&photo=maybe&paused=false&fps=off' +
                              '#aspect=5:4&seed=-1&title=%FF', width, height);
  await bad.first_frame();
  // t= is held against the show once the studio has put its document in.
  await bad.page.waitForFunction(() => document.body.innerText.includes('?t=99999'), { timeout: wait_ms });
  const text = await bad.text();
  for (const option of ['?seed=x', '?t=99999', '?photo=maybe', '#aspect=5:4', '#seed=-1', '#title=%FF'])
    assert.ok(text.includes(option), `${option} is not named on the page: ${JSON.stringify(text)}`);
  assert.equal(await bad.paused(), false, '?paused=false paused the show');
  await bad.close();

  const hide_webgl = (page) => page.evaluateOnNewDocument(() => {
    const get = HTMLCanvasElement.prototype.getContext;
    HTMLCanvasElement.prototype.getContext = function(type, ...rest) {
      return /webgl/.test(type) ? null : get.call(this, type, ...rest);
    };
  });
  const none = await open_page(browser, page_path, '', width, height, { before: hide_webgl });
  await none.page.waitForFunction(() => document.getElementById('notice').innerText.includes('WebGL'), { timeout: wait_ms });
  await none.page.keyboard.press('Space');
  await none.page.mouse.click(10, 10);
  assert.deepEqual(none.errors, []);
  await none.close();
});

test('served over plain http from another host, the page says why export is off', async () => {
  const server = http.createServer((request, response) => {
    response.writeHead(200, { 'content-type': 'text/html' });
    fs.createReadStream(page_path).pipe(response);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const elsewhere = await launch(['--host-resolver-rules=MAP vexa.test 127.0.0.1']);
  try {
    const page = await elsewhere.newPage();
    await page.goto(`http://vexa.test:${server.address().port}/vexa.html`);
    await page.waitForFunction(() => /secure/.test(document.getElementById('export-status').textContent),
                               { timeout: wait_ms });
    assert.ok(await page.$eval('#export', (e) => e.disabled));
  } finally {
    await elsewhere.close();
    server.close();
  }
});

test('a module slow to start throws nothing while it loads', async () => {
  const later = (page) => page.evaluateOnNewDocument(() => {
    const wait = (f) => (...a) => new Promise((r) => setTimeout(r, 2000)).then(() => f(...a));
    WebAssembly.instantiate = wait(WebAssembly.instantiate.bind(WebAssembly));
    WebAssembly.instantiateStreaming &&= wait(WebAssembly.instantiateStreaming.bind(WebAssembly));
  });
  const slow = await open_page(browser, page_path, '?seed=1', width, height, { before: later });
  await slow.first_frame();
  assert.deepEqual(slow.errors, []);
  await slow.close();
});

// The page's clock starting when the page first reads it, as on a machine that
// loads the page at once: the first settling second (counted from navigation)
// then lasts long after the page has started.
const clock_from_first_read = (page) => page.evaluateOnNewDocument(() => {
  const now = performance.now.bind(performance);
  let zero;
  performance.now = () => now() - (zero ??= now());
});

// The painter's pictures coming late, as on a slow phone.
const slow_painter = (page) => page.evaluateOnNewDocument(() => {
  const handler = Object.getOwnPropertyDescriptor(Worker.prototype, 'onmessage');
  Object.defineProperty(Worker.prototype, 'onmessage', {
    get() { return handler.get.call(this); },
    set(f) { handler.set.call(this, (e) => setTimeout(() => f(e), 4000)); },
  });
});

test('keys in the settling second are acted on; a tap pauses and resumes', async () => {
  const settling = async (query, key) => {
    const show = await open_page(browser, page_path, query, width, height, { before: clock_from_first_read });
    await show.page.waitForFunction(() => typeof Module !== 'undefined' && Module._web_state &&
                                          Module._web_frames && Module.calledRun, { timeout: wait_ms });
    assert.equal(await show.state(), state.settling);
    await show.page.keyboard.press(key);
    return show;
  };
  const esc = await settling('?seed=1', 'Escape');
  assert.equal(await esc.state(), state.ended, 'Esc in the settling second did not end the show');
  assert.equal(await esc.frames(), 0);
  await esc.close();

  const space = await settling('?seed=1', 'Space');
  await space.first_frame();
  assert.equal(await space.paused(), true, 'Space in the settling second did not pause the show');
  await space.close();

  const tap = await open_page(browser, page_path, '?seed=1', width, height, { touch: true });
  await tap.first_frame();
  await tap.page.touchscreen.tap(width / 2, height / 2);
  assert.equal(await tap.paused(), true, 'a tap did not pause the show');
  await tap.page.touchscreen.tap(width / 2, height / 2);
  assert.equal(await tap.paused(), false, 'a second tap did not resume the show');
  assert.deepEqual(tap.errors, []);
  await tap.close();
});

test('show time waits for a card still being painted, then plays on as vexa-capture draws it', async () => {
  const show = await open_page(browser, page_path, '?seed=1', width, height, { before: slow_painter });
  await show.first_frame();
  // Card 5 comes from the page's own thread; card 4 (from 1000 ms) from the slow worker.
  await new Promise((resolve) => setTimeout(resolve, 1500));
  assert.ok(await show.call('web_time') < 1000, 'show time went on into a card not yet painted');
  await show.page.waitForFunction(() => Module._web_artwork_ready() && Module._web_time() > 1200,
                                  { timeout: wait_ms });
  await show.page.keyboard.press('Space');
  await show.call('web_seek', 1500);
  await show.frames_past(await show.frames());
  assert_matches(await show.picture(), reference(1500, 1, false), 'card 4 once painted');
  assert.deepEqual(show.errors, []);
  await show.close();
});

test('a viewer who asks for less motion gets a leader that does not shake', async () => {
  const reduce = (page) => page.emulateMediaFeatures([{ name: 'prefers-reduced-motion', value: 'reduce' }]);
  const show = await open_page(browser, page_path, '?t=8020&paused&seed=1', width, height, { before: reduce });
  await show.first_frame();
  const shaken_at_8020 = await show.picture();
  const frames = await show.frames();
  await show.call('web_seek', 8050);  // the same card, shaken elsewhere
  await show.frames_past(frames);
  assert.equal(differing(shaken_at_8020, await show.picture()), 0, 'the card moved between 8020 and 8050 ms');
  await show.close();
});

test('the page is one file of at most 6 MB and paints its default artwork as vexa-art does', async () => {
  assert.ok(fs.statSync(page_path).size <= 6e6, `${page_path}: ${fs.statSync(page_path).size} bytes`);
  const theirs = path.join(work, 'default-art');
  const run = spawnSync(path.join(build, 'vexa-art'), ['-o', theirs],
                        { env: { ...process.env, VEXA_ART_FONT_DIR: '/usr/share/fonts/truetype/dejavu' } });
  assert.equal(run.status, 0, String(run.stderr));
  const show = await open_page(browser, page_path, '?paused&seed=1', 640, 480);
  await show.first_frame();
  await show.page.waitForFunction(() => Module._web_artwork_ready(), { timeout: wait_ms });  // painted one by one
  const names = fs.readdirSync(theirs).sort();
  assert.equal(names.length, 12);
  assert.deepEqual(await show.page.evaluate(() => FS.readdir('tex').filter((n) => n[0] !== '.').sort()), names);
  for (const name of names) {
    const ours = Buffer.from(await show.page.evaluate((file) => new Promise((resolve) => {
      const reader = new FileReader();
      reader.onload = () => resolve(reader.result.slice(reader.result.indexOf(',') + 1));
      reader.readAsDataURL(new Blob([FS.readFile(file)]));
    }), `tex/${name}`), 'base64');
    assert.ok(ours.equals(fs.readFileSync(path.join(theirs, name))), `tex/${name} differs from vexa-art's`);
  }
  assert.deepEqual(show.errors, []);
  await show.close();
});

test('script/web takes a relative --tex from where it was run', () => {
  const root = fileURLToPath(new URL('..', import.meta.url));
  const dir = fs.mkdtempSync(path.join(work, 'script-'));
  fs.mkdirSync(path.join(dir, 'mine', 'tex'), { recursive: true });
  // emcmake and cmake stand-ins record what they are asked to build.
  const stubs = path.join(dir, 'bin'), log = path.join(dir, 'log');
  fs.mkdirSync(stubs);
  for (const name of ['emcmake', 'cmake'])
    fs.writeFileSync(path.join(stubs, name), `#!/bin/sh\necho "$@" >> ${log}\n`, { mode: 0o755 });
  const env = { ...process.env, PATH: `${stubs}:${process.env.PATH}`, VEXA_WEB_BUILD_DIR: path.join(dir, 'out') };
  execFileSync(path.join(root, 'script', 'web'), ['--tex', 'mine'], { cwd: dir, env, stdio: 'pipe' });
  assert.match(fs.readFileSync(log, 'utf8'), new RegExp(`-DVEXA_WEB_ART=${path.join(dir, 'mine')}( |$)`, 'm'));
  assert.throws(() => execFileSync(path.join(root, 'script', 'web'), ['--tex', 'nowhere'], { cwd: dir, env, stdio: 'pipe' }),
                (e) => e.status === 1 && /nowhere\/tex: no such directory/.test(e.stderr));
});

// The page's downloads land in a directory of their own; waits for a file
// there (Chromium writes it as .crdownload first).
async function downloaded(dir) {
  for (let i = 0; i < 300; ++i) {
    const files = fs.readdirSync(dir).filter((f) => !f.endsWith('.crdownload'));
    if (files.length)
      return path.join(dir, files[0]);
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
  assert.fail(`nothing was downloaded into ${dir}`);
}

function probe(file) {
  const out = execFileSync('ffprobe', ['-v', 'error', '-count_frames', '-show_entries',
    'stream=codec_type,codec_name,r_frame_rate,time_base,nb_read_frames,color_range,color_space,' +
    'color_transfer,color_primaries,channels', '-of', 'json', file]);
  return JSON.parse(out).streams;
}

// Frame k of a video as RGB, decoded with the BT.709 matrix its tags name.
function decoded_frame(video, k) {
  const out = path.join(work, `${path.basename(video)}-${k}.png`);
  execFileSync('ffmpeg', ['-v', 'error', '-y', '-i', video, '-vf',
    `select=eq(n\\,${k}),scale=in_color_matrix=bt709:in_range=tv,format=rgba`, '-frames:v', '1', '-update', '1', out]);
  return PNG.sync.read(fs.readFileSync(out));
}

// The mean difference of each colour channel, a minus b.
function channel_bias(a, b) {
  const sum = [0, 0, 0];
  for (let i = 0; i < a.data.length; i += 4)
    for (let c = 0; c < 3; ++c)
      sum[c] += a.data[i + c] - b.data[i + c];
  return sum.map((s) => s / (a.width * a.height));
}

test('Download video: exact frames and rate, BT.709 tags, the pop; a frame as vexa-capture encodes it', async () => {
  const dir = fs.mkdtempSync(path.join(work, 'video-'));
  const show = await open_page(browser, page_path, '?seed=3&photo&paused', width, height, { downloads: dir });
  await show.first_frame();
  const video = (options) => show.page.evaluate((o) => vexa_studio.export_video(o), options);
  // NTSC with the pop: 15 frames from 2900 ms, each 1001/30000 s.
  assert.equal(await video({ from: 2900, to: 3400, rate: [30000, 1001], width: 320, height: 240, pop: true }),
               'vexa.mp4');
  const ntsc = path.join(work, 'ntsc.mp4');
  fs.renameSync(await downloaded(dir), ntsc);
  const [v, a] = probe(ntsc);
  assert.deepEqual(v, { codec_type: 'video', codec_name: 'h264', r_frame_rate: '30000/1001', time_base: '1/30000',
                        nb_read_frames: '15', color_range: 'tv', color_space: 'bt709', color_transfer: 'bt709',
                        color_primaries: 'bt709' });
  assert.deepEqual([a?.codec_name, a?.channels], ['opus', 2]);
  // The pop's peak, -20 dBFS as vexa-capture's.
  const volume = spawnSync('ffmpeg', ['-i', ntsc, '-map', '0:a', '-af', 'volumedetect', '-f', 'null', '-'],
                           { encoding: 'utf8' }).stderr.match(/max_volume: (-?[0-9.]+) dB/);
  assert.ok(volume && Math.abs(Number(volume[1]) + 20) <= 1, `the pop's peak: ${volume?.[1]} dB`);

  // Strips in flight over the photo at 13480 ms, frame 2 at 25 fps from 13400.
  const size = [640, 480], t = 13480;
  await video({ from: 13400, to: 13600, rate: [25, 1], width: size[0], height: size[1], pop: false });
  const page_frame = decoded_frame(await downloaded(dir), 2);
  assert.deepEqual(show.errors, []);
  await show.close();
  // vexa-capture's own MP4 against its own PNG sets how far an encoded frame
  // strays: the page's may stray twice as far, plus the rasterisers' share.
  const common = ['--seed', '3', '--photo', '--size', size.join('x')];
  const own_mp4 = path.join(work, 'own.mp4'), own_png = path.join(work, 'own.png');
  execFileSync(capture, [...common, '--from', '13400', '--to', '13600', '--fps', '25', '-o', own_mp4], { cwd: build });
  execFileSync(capture, [...common, '--time', String(t), '-o', own_png], { cwd: build });
  const ref = PNG.sync.read(fs.readFileSync(own_png)), own = decoded_frame(own_mp4, 2);
  for (const [level, share] of tolerances) {
    const allowed = 2 * differing(own, ref, level, false) + Math.floor(share * size[0] * size[1]);
    const found = differing(page_frame, ref, level, false);
    assert.ok(found <= allowed, `page frame at ${t} ms: ${found} pixels differ by more than ${level} (at most ${allowed})`);
  }
  // A wrong matrix or range moves every colour the same way; encoding noise does not.
  const own_bias = channel_bias(own, ref), page_bias = channel_bias(page_frame, ref);
  assert.ok(page_bias.every((b, c) => Math.abs(b - own_bias[c]) <= 1),
            `colours shifted: page ${page_bias.map((b) => b.toFixed(2))}, vexa-capture ${own_bias.map((b) => b.toFixed(2))}`);
});

// frame k at from + floor(k * 1000 / fps): card 4 flashes from 1000 to 1099 ms, so frame 2 from 1033 ms shows
// it at 30 and at 29.97 fps (at 1100 ms, rounded to the nearest, it has gone). The pop from 3000 ms lies on
// frame 0, as sound; a key frame every two seconds (0, 60, 120 of 135 frames at 30 fps) in a span without a
// cut (the encoder adds a key frame of its own at a cut, as at each count of the leader).
test('Download video: frame times rounded down, the pop on the first frame from 3000 ms, key frames every 2 s', async () => {
  const dir = fs.mkdtempSync(path.join(work, 'times-'));
  const show = await open_page(browser, page_path, '?seed=1&paused', width, height, { downloads: dir });
  await show.first_frame();
  const video = async (o, name) => {
    await show.page.evaluate((x) => vexa_studio.export_video(x), { width: 320, height: 240, pop: false, ...o });
    const file = path.join(work, name);
    fs.renameSync(await downloaded(dir), file);
    return file;
  };
  const refs = [1099, 1100].map((t) => reference(t, 1, false, 320, 240));
  for (const rate of [[30, 1], [30000, 1001]]) {
    const frame = decoded_frame(await video({ from: 1033, to: 1133, rate }, `round-${rate[0]}.mp4`), 2);
    const [right, wrong] = refs.map((r) => differing(frame, r, 64, false));
    assert.ok(right * 4 < wrong, `frame 2 at ${rate.join('/')} fps: ${right} pixels off 1099 ms, ${wrong} off 1100 ms`);
  }
  const pcm = execFileSync('ffmpeg', ['-v', 'error', '-i', await video({ from: 3000, to: 3200, rate: [30, 1], pop: true },
                                      'pop.mp4'), '-map', '0:a', '-af', 'pan=mono|c0=c0', '-ar', '48000', '-f', 'f32le', '-']);
  const sound = new Float32Array(pcm.buffer.slice(pcm.byteOffset, pcm.byteOffset + pcm.length));  // the left channel
  const loud = [];
  sound.forEach((v, i) => Math.abs(v) > 0.03 && loud.push(i));
  const peak_db = 20 * Math.log10(Math.max(...sound.map(Math.abs)));
  assert.ok(loud.length > 0 && loud[0] < 96 && Math.abs(loud[loud.length - 1] - 1600) < 96 && Math.abs(peak_db + 20) <= 1,
            `the pop: from sample ${loud[0]} to ${loud[loud.length - 1]} (want 0 to 1600), peak ${peak_db.toFixed(1)} dB`);
  const keys = execFileSync('ffprobe', ['-v', 'error', '-select_streams', 'v', '-show_entries', 'frame=key_frame', '-of',
                                        'csv=p=0', await video({ from: 11500, to: 16000, rate: [30, 1] }, 'keys.mp4')],
                            { encoding: 'utf8' }).trim().split('\n');
  assert.deepEqual(keys.flatMap((k, i) => (k.startsWith('1') ? [i] : [])), [0, 60, 120]);
  assert.deepEqual(show.errors, []);
  await show.close();
});

// A video made in the page by vexa_export with `jobs` drawing workers (0: the
// page's own canvas): its decoded frames, raw I420, and the jobs that drew it.
async function exported_frames(show, options, name) {
  const [bytes, jobs] = await show.page.evaluate(async (o) => {
    const file = await vexa_export.start(o).done;
    return [[...new Uint8Array(await file.blob.arrayBuffer())], file.jobs];
  }, options);
  const file = path.join(work, name);
  fs.writeFileSync(file, Buffer.from(bytes));
  return [execFileSync('ffmpeg', ['-v', 'error', '-i', file, '-f', 'rawvideo', '-pix_fmt', 'yuv420p', '-'],
                       { maxBuffer: 1 << 28 }), jobs];
}

const vexa_frames = (c) => Math.ceil((c.to - c.from) * c.rate[0] / (1000 * c.rate[1]));

test('export jobs: two workers make the video one worker and the page itself make, frame for frame', async (t) => {
  const show = await open_page(browser, page_path, '?seed=7&photo&paused', width, height);
  await show.first_frame();
  const cases = [
    { what: '15 frames of strips in flight at 30 fps', from: 13400, to: 13900, rate: [30, 1] },
    { what: '15 frames of the count at 29.97 fps', from: 2900, to: 3400, rate: [30000, 1001] },
    // The studio's artwork, not the packed one: the workers copy what the page shows.
    { what: 'a typed title\'s caption, 3 frames', from: 10400, to: 10500, rate: [30, 1], title: 'Danke schön' },
    // The studio's document too: card 2 at 2000 ms in a count of 3 to 1 at 2 s a count (card 4 in the classic show).
    { what: 'the studio\'s timing, 3 frames', from: 2000, to: 2100, rate: [30, 1],
      timing: [['count-from', '3'], ['count-to', '1'], ['count-ms', '2']] },
  ];
  for (const c of cases)
    await t.test(c.what, async () => {
      if (c.title) {
        await show.page.type('#title', c.title);
        await show.page.waitForFunction(() => FS.analyzePath('/studio/tex/string.bmp').exists, { timeout: wait_ms });
      }
      if (c.timing) {
        await show.page.evaluate((fields) => {
          for (const [id, v] of fields) {
            const field = document.getElementById(id);
            field.value = v;
            field.dispatchEvent(new Event('change', { bubbles: true }));
          }
        }, c.timing);
        await show.page.waitForFunction(() => Module._web_show_end() === 13000, { timeout: wait_ms });
      }
      const o = { from: c.from, to: c.to, rate: c.rate, width: 320, height: 240 };
      const [page_own, zero] = await exported_frames(show, { ...o, jobs: 0 }, 'jobs0.mp4');
      const [one, one_jobs] = await exported_frames(show, { ...o, jobs: 1 }, 'jobs1.mp4');
      const [two, two_jobs] = await exported_frames(show, { ...o, jobs: 2 }, 'jobs2.mp4');
      assert.deepEqual([zero, one_jobs, two_jobs], [0, 1, 2], 'the jobs that drew the videos');
      assert.equal(two.length, vexa_frames(c) * 320 * 240 * 3 / 2, 'frames decoded');
      assert.ok(two.equals(one), 'two workers\' frames differ from one worker\'s');
      assert.ok(one.equals(page_own), 'a worker\'s frames differ from the page\'s own');
    });
  assert.deepEqual(show.errors, []);
  await show.close();
});

// The studio's timing (3 to 1 at 2 s a count, a 12 s closing: an 18 s show) is the show the page plays, drawn
// as vexa-capture draws it: card 2 at 2050 ms (card 3 in the classic show), the fade near the new end. Kept, the
// show is opened again at the address's t=: inside the longer show there, past its end named and at 0.
test('the timing controls make the show the page plays; a later t= fits the longer show', async () => {
  const context = await browser.createBrowserContext();
  const timing = ['--count-from', '3', '--count-to', '1', '--count-ms', '2000', '--closing-ms', '12000'];
  const studio_ready = (s) => s.page.waitForFunction(() => !document.getElementById('studio-form').disabled &&
                                                           Module._web_show_end() > 0, { timeout: wait_ms });
  const show = await open_page(browser, page_path, '?seed=1&paused', width, height, { context });
  await show.first_frame();
  await studio_ready(show);
  await show.page.evaluate(() => {
    for (const [id, v] of [['count-from', '3'], ['count-to', '1'], ['count-ms', '2'], ['closing-ms', '12']]) {
      const field = document.getElementById(id);
      field.value = v;
      field.dispatchEvent(new Event('change', { bubbles: true }));
    }
  });
  await show.page.waitForFunction(() => Module._web_show_end() === 18000, { timeout: wait_ms });
  for (const t of [2050, 17900]) {
    const drawn = await show.frames();
    await show.call('web_seek', t);
    await show.frames_past(drawn);
    assert_matches(await show.picture(), reference(t, 1, false, width, height, timing), `the studio's show at ${t} ms`);
  }
  await show.page.evaluate(() => vexa_studio.flush());
  assert.deepEqual(show.errors, []);
  await show.close();
  for (const [t, at, said] of [[16500, 16500, ''], [18000, 0, '?t=18000: not a show time (0 to 17999 ms)']]) {
    const again = await open_page(browser, page_path, `?t=${t}&paused&seed=1`, width, height, { context });
    await again.first_frame();
    await studio_ready(again);
    await again.page.waitForFunction(() => Module._web_show_end() === 18000, { timeout: wait_ms });
    assert.equal(await again.call('web_time'), at, `t=${t}`);
    if (said) {
      await again.page.waitForFunction((w) => document.body.innerText.includes(w), { timeout: wait_ms }, said);
    } else {
      const drawn = await again.frames();
      await again.call('web_seek', at);  // drawn again where it stands
      await again.frames_past(drawn);
      assert_matches(await again.picture(), reference(t, 1, false, width, height, timing), `t=${t}`);
    }
    await again.close();
  }
  await context.close();
});

// Credits typed into the studio roll in the page as vexa-capture --credits rolls them, in the longer closing.
test('the studio\'s credits roll as vexa-capture rolls them', async () => {
  const credits = path.join(work, 'credits.txt');
  fs.writeFileSync(credits, 'Camera — Mia\nMusic — Sam\nLight — Ada\nThanks to everyone\n');
  const others = path.join(work, 'others.txt');  // as many lines, other names: the same times, other letters
  fs.writeFileSync(others, 'Camera — Zoë\nMusic — Kim\nLight — Bea\nThanks to all of you\n');
  const context = await browser.createBrowserContext();  // the studio keeps its show: in a context of its own
  const show = await open_page(browser, page_path, '?seed=1&paused', width, height, { context });
  await show.first_frame();
  await show.page.waitForFunction(() => !document.getElementById('studio-form').disabled, { timeout: wait_ms });
  await show.page.type('#credits', fs.readFileSync(credits, 'utf8').trim());
  await show.page.waitForFunction(() => Module._web_show_end() > 16000, { timeout: wait_ms });
  const end = await show.page.evaluate(() => Module._web_show_end());
  let rolled = 0;
  for (const t of [end - 5000, end - 4000, end - 3000]) {
    const drawn = await show.frames();
    await show.call('web_seek', t);
    await show.frames_past(drawn);
    const picture = await show.picture();
    assert_matches(picture, reference(t, 1, false, width, height, ['--credits', credits]), `the roll at ${t} ms`);
    rolled += differing(picture, reference(t, 1, false, width, height, ['--credits', others]), 64) > 100;
  }
  assert.ok(rolled > 0, 'no credits on screen at any of the times');
  assert.deepEqual(show.errors, []);
  await show.close();
  await context.close();
});

test('export jobs: a worker losing its WebGL context ends the video with a message, and the page keeps working', async () => {
  const dir = fs.mkdtempSync(path.join(work, 'lost-'));
  const show = await open_page(browser, page_path, '?seed=1', width, height, { downloads: dir });
  await show.first_frame();
  const { page } = show;
  // The sixth frame asked of a worker finds its context lost, as when the GPU process fails.
  await page.evaluate(() => {
    const post = Worker.prototype.postMessage;
    let draws = 0;
    Worker.prototype.postMessage = function(m, ...rest) {
      if (m && m.type === 'draw' && ++draws === 6)
        post.call(this, { type: 'lose' });
      return post.call(this, m, ...rest);
    };
    window.restore_post = () => { Worker.prototype.postMessage = post; };
  });
  await page.click('#export');
  await page.waitForFunction(() => /could not be made/.test(document.getElementById('export-status').textContent),
                             { timeout: wait_ms });
  assert.match(await page.$eval('#export-status', (e) => e.textContent), /lost its WebGL context/);
  await page.waitForFunction(() => !document.getElementById('export').hidden, { timeout: wait_ms });
  await until(() => page.workers().length === 0, 'a worker still running after the failure');
  assert.deepEqual(fs.readdirSync(dir), [], 'a failed video was downloaded');
  // The page plays on and makes the next video.
  const frames = await show.frames();
  await show.frames_past(frames);
  await page.evaluate(() => window.restore_post());
  assert.equal(await page.evaluate(async () => (await vexa_export.start(
    { from: 0, to: 200, rate: [30, 1], width: 320, height: 240 }).done).jobs), 2);
  await show.close();
});

test('export jobs: a browser without OffscreenCanvas makes the video on the page itself', async () => {
  const show = await open_page(browser, page_path, '?seed=7&paused', width, height,
                               { before: (page) => page.evaluateOnNewDocument(() => { delete window.OffscreenCanvas; }) });
  await show.first_frame();
  const [frames, jobs] = await exported_frames(show, { from: 13400, to: 13500, rate: [30, 1], width: 320, height: 240 },
                                               'no-offscreen.mp4');
  assert.deepEqual([jobs, frames.length], [0, 3 * 320 * 240 * 3 / 2]);
  assert.equal(show.page.workers().length, 0);
  assert.deepEqual(show.errors, []);
  await show.close();
});

// Waits up to wait_ms for `done()` to hold.
async function until(done, what) {
  for (const start = Date.now(); !done(); await new Promise((resolve) => setTimeout(resolve, 100)))
    assert.ok(Date.now() - start < wait_ms, what);
}

test('the studio: the form is locked while exporting, Cancel leaves no download, a copied link restores words and seed', async () => {
  const dir = fs.mkdtempSync(path.join(work, 'cancel-'));
  const show = await open_page(browser, page_path, '?seed=1', width, height, { downloads: dir });
  await show.first_frame();
  const { page } = show;
  await page.click('#export');  // the whole show at 720p
  await page.waitForFunction(() => document.getElementById('progress').value > 0, { timeout: wait_ms });
  assert.ok(await page.evaluate(() => document.getElementById('title').matches(':disabled')), 'the form is not locked');
  assert.equal(page.workers().length, 2, 'workers drawing the video');
  await page.click('#cancel');
  await page.waitForFunction(() => !document.getElementById('export').hidden, { timeout: wait_ms });
  assert.match(await page.evaluate(() => document.getElementById('export-status').textContent), /Cancelled/);
  await until(() => page.workers().length === 0, 'Cancel left a worker running');
  await new Promise((resolve) => setTimeout(resolve, 1000));
  assert.deepEqual(fs.readdirSync(dir), [], 'Cancel left a download');

  await page.type('#title', 'Danke schön');
  await page.type('#subtitle', 'bis bald');
  await page.type('#lines', 'eins\nzwei & drei\nשלום');
  await page.$eval('#seed', (e) => { e.value = '1234'; e.dispatchEvent(new Event('change')); });
  await page.select('#aspect', '16:9');
  await page.click('#copy-link');
  const link = await page.$eval('#link', (e) => e.value);
  assert.deepEqual(show.errors, []);
  await show.close();

  // The fragment's words, seed and aspect win over the query's.
  const again = await browser.newPage();
  await again.goto(link.replace('#', '?seed=99&aspect=1:1&title=query#'));
  await again.waitForFunction(() => document.getElementById('seed').value !== '', { timeout: wait_ms });
  assert.deepEqual(await again.evaluate(() => ['title', 'subtitle', 'lines', 'seed', 'aspect'].map(
    (id) => document.getElementById(id).value).concat(Module._web_seed())),
    ['Danke schön', 'bis bald', 'eins\nzwei & drei\nשלום', '1234', '16:9', 1234]);
  await again.close();
});

test('typed words reach the preview when the typing pauses, and the video without Enter; refused ones stop it', async () => {
  const show = await open_page(browser, page_path, '?seed=1', width, height);
  await show.first_frame();
  const { page } = show;
  // Whether the show's caption sheet is the engine's for this title.
  const shown_title = (title) => page.evaluate((t) => {
    const made = Module.art_make({ title: t, subtitle: null }).images.find((i) => i.name === 'string.bmp').bytes;
    const shown = FS.analyzePath('/studio/tex/string.bmp').exists ? FS.readFile('/studio/tex/string.bmp') : [];
    return made.length === shown.length && made.every((b, i) => b === shown[i]);
  }, title);
  await page.type('#title', 'Hallo');
  await page.waitForFunction(() => FS.analyzePath('/studio/tex/string.bmp').exists, { timeout: wait_ms });
  assert.ok(await shown_title('Hallo'), 'the preview after a pause in typing');

  await page.type('#title', ' Welt');
  await page.click('#export');
  assert.ok(await shown_title('Hallo Welt'), 'the video made from the words before the last typed');
  await page.waitForFunction(() => document.getElementById('progress').value > 0, { timeout: wait_ms });
  await page.click('#cancel');
  await page.waitForFunction(() => !document.getElementById('export').hidden, { timeout: wait_ms });

  await page.type('#title', ' und so weiter'.repeat(30));
  await page.click('#export');
  assert.match(await page.$eval('#export-status', (e) => e.textContent), /^No video was made/);
  assert.match(await page.$eval('#title-message', (e) => e.textContent), /does not fit/);
  assert.ok(await page.$eval('#cancel', (e) => e.hidden), 'a refused title started a video');
  assert.deepEqual(show.errors, []);
  await show.close();
});

// A file dropped on the page, as from a desktop.
const dropped = (name, type, bytes) => (page) => page.evaluate((n, t, b) => {
  const data = new DataTransfer();
  data.items.add(new File([new Uint8Array(b)], n, { type: t }));
  document.getElementById('player').dispatchEvent(new DragEvent('drop', { dataTransfer: data, bubbles: true }));
}, name, type, [...bytes]);
const typed = (id, text) => (page) => page.$eval(`#${id}`, (e, v) => { e.value = v; }, text);

// A PNG's signature and header alone, declaring width x height.
function png_header(w, h) {
  const ihdr = Buffer.alloc(17);
  ihdr.write('IHDR');
  ihdr.writeUInt32BE(w, 4);
  ihdr.writeUInt32BE(h, 8);
  ihdr.set([8, 2, 0, 0, 0], 12);
  const crc = Buffer.alloc(4);
  crc.writeUInt32BE(zlib.crc32(ihdr));
  return Buffer.concat([Buffer.from([0x89, 0x50, 0x4E, 0x47, 13, 10, 26, 10, 0, 0, 0, 13]), ihdr, crc]);
}

test('bad input is refused by its field and nothing is downloaded; Download artwork is vexa-art\'s files', async () => {
  const dir = fs.mkdtempSync(path.join(work, 'art-'));
  const show = await open_page(browser, page_path, '?seed=1', width, height, { downloads: dir });
  await show.first_frame();
  const { page } = show;
  const cases = [
    // [what, act, the message's field, its text]
    ['a file that is not an image', dropped('notes.txt', 'text/plain', Buffer.from('hello')), 'photo',
     /^notes\.txt: not a PNG or JPEG image$/],
    ['a JPEG that is none', dropped('trip.jpg', 'image/jpeg', Buffer.from('hello')), 'photo', /^trip\.jpg: /],
    ['a 60000x60000 PNG', dropped('huge.png', 'image/png', png_header(60000, 60000)), 'photo',
     /^huge\.png: an image of 60000x60000 pixels/],
    ['a 100 KB title', typed('title', 'x'.repeat(100000)), 'title', /^the title "x{40}"\.\.\. does not fit/],
    ['a control character', typed('subtitle', 'a\u0007b'), 'subtitle', /control character/],
    ['a strip far too long', typed('lines', `eins\nzwei\n${'y'.repeat(400)}`), 'lines', /^line 3 "y{40}"\.\.\. does not fit/],
  ];
  for (const [what, act, field, text] of cases) {
    for (const id of ['title', 'subtitle', 'lines'])
      await typed(id, '')(page);
    await act(page);
    if (field !== 'photo')
      await page.click('#download-art');
    await page.waitForFunction((f) => document.getElementById(`${f}-message`).textContent, {}, field);
    assert.match(await page.$eval(`#${field}-message`, (e) => e.textContent), text, what);
  }
  await show.frames_past(await show.frames());  // the show plays on
  assert.deepEqual(fs.readdirSync(dir), [], 'a refusal downloaded something');

  // A photo, accents, and a character no face has: a warning by its line.
  const photo = path.join(work, 'photo.png');
  execFileSync('ffmpeg', ['-v', 'error', '-y', '-f', 'lavfi', '-i', 'testsrc2=size=160x90', '-frames:v', '1', photo]);
  await typed('subtitle', '')(page);
  await dropped('photo.png', 'image/png', fs.readFileSync(photo))(page);
  await page.waitForFunction(() => document.getElementById('photo-name').textContent === 'photo.png');
  await typed('title', 'Grüße, Zoë!')(page);
  await typed('lines', 'eins\nzwei \u{10FFF0}')(page);
  await page.click('#download-art');
  assert.equal(await page.$eval('#lines-message', (e) => e.textContent),
               'Warning: line 2: \u{10FFF0} U+10FFF0 cannot be drawn: no font has it; remove it or add a font that has it');
  const zip = await downloaded(dir);
  assert.deepEqual(show.errors, []);
  await show.close();
  execFileSync('unzip', ['-q', zip, '-d', path.join(dir, 'page')]);
  const theirs = path.join(dir, 'vexa-art', 'tex');
  spawnSync(path.join(build, 'vexa-art'), ['-o', theirs, '--title', 'Grüße, Zoë!', '--line', 'eins',
                                           '--line', 'zwei \u{10FFF0}', '--photo', photo],
            { env: { ...process.env, VEXA_ART_FONT_DIR: '/usr/share/fonts/truetype/dejavu' } });
  const names = fs.readdirSync(theirs).sort();
  assert.equal(names.length, 12);
  assert.deepEqual(fs.readdirSync(path.join(dir, 'page', 'tex')).sort(), names);
  for (const name of names)
    assert.ok(fs.readFileSync(path.join(dir, 'page', 'tex', name)).equals(fs.readFileSync(path.join(theirs, name))),
              `tex/${name} differs from vexa-art's`);
});

test('every control has a label; the studio works from the keyboard alone and says while it loads', async () => {
  const at_parse = (page) => page.evaluateOnNewDocument(() => document.addEventListener('DOMContentLoaded', () => {
    window.loading_seen = [document.getElementById('loading').hidden, document.getElementById('studio-form').disabled];
  }));
  const show = await open_page(browser, page_path, '?seed=1', width, height, { before: at_parse });
  await show.first_frame();
  const { page } = show;
  assert.deepEqual(await page.evaluate(() => window.loading_seen), [false, true], 'not shown as loading');
  const controls = () => [...document.querySelectorAll('input, select, textarea, button, a[href]')]
    .filter((c) => !c.disabled && c.getClientRects().length).map((c) => c.id || c.textContent);
  assert.deepEqual(await page.evaluate(() => [...document.querySelectorAll('input, select, textarea, button, progress')]
    .filter((c) => !(c.labels?.length || c.getAttribute('aria-label') || c.textContent.trim())).map((c) => c.id)), []);

  // Tab from the picture reaches every control shown, in the page's order.
  const shown = await page.evaluate(controls);
  await page.focus('#canvas');
  const reached = [];
  for (let i = 0; i < shown.length; ++i) {
    await page.keyboard.press('Tab');
    reached.push(await page.evaluate(() => document.activeElement.id || document.activeElement.textContent));
  }
  assert.deepEqual(reached, shown);

  // Keys typed into the form stay there; Space and Enter press buttons; Enter makes the artwork.
  await page.focus('#title');
  await page.keyboard.type('so long '.repeat(40));
  assert.equal(await show.paused(), false, 'a Space typed into the title paused the show');
  await page.keyboard.press('Enter');
  assert.match(await page.$eval('#title-message', (e) => e.textContent), /does not fit/);
  const seed = await page.$eval('#seed', (e) => e.value);
  await page.focus('#shuffle');
  await page.keyboard.press('Space');
  assert.notEqual(await page.$eval('#seed', (e) => e.value), seed, 'Space on Shuffle');
  await page.focus('#copy-link');
  await page.keyboard.press('Enter');
  assert.ok(await page.$eval('#link', (e) => !e.hidden), 'Enter on Copy link');
  assert.deepEqual(show.errors, []);
  await show.close();
});
