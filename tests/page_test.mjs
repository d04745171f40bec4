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
import { launch, open_page, state } from '../web/browser.mjs';
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { createRequire } from 'node:module';

const require = createRequire(new URL('../web/package.json', import.meta.url));
const { PNG } = require('pngjs');

const page_path = process.env.VEXA_PAGE;
const capture = process.env.VEXA_CAPTURE;
const build = process.env.VEXA_BUILD;
const width = 1024, height = 768;
// [channel difference above which a pixel differs, share of the picture that may]
const tolerances = [[8, 0.001], [64, 0.0001]];

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
  const out = path.join(work, `ref-${t}-${w}x${h}${layout.join('')}.png`);
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

// Pixels outside the caption whose largest channel difference exceeds `level`.
function differing(a, b, level = 0) {
  assert.equal(a.width, b.width);
  assert.equal(a.height, b.height);
  let count = 0;
  for (let y = 0; y < a.height; ++y)
    for (let x = 0; x < a.width; ++x) {
      const i = (y * a.width + x) * 4;
      const d = Math.max(Math.abs(a.data[i] - b.data[i]), Math.abs(a.data[i + 1] - b.data[i + 1]),
                         Math.abs(a.data[i + 2] - b.data[i + 2]));
      if (d > level && !in_caption(x, y, a.width, a.height))
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
test('the page lays the show out for its window and follows it', async () => {
  const phone = await open_page(browser, page_path, '?t=8050&paused&seed=3', 390, 844);
  await phone.first_frame();
  const upright = await phone.picture();
  const before_turn = await phone.frames();
  await phone.page.setViewport({ width: 844, height: 390, deviceScaleFactor: 1 });
  await phone.frames_past(before_turn);
  const turned = await phone.picture();
  assert.deepEqual(phone.errors, []);
  await phone.close();
  assert_matches(upright, reference(8050, 3, false, 390, 844), 'upright');
  assert_matches(turned, reference(8050, 3, false, 844, 390), 'turned');

  const crop = await open_page(browser, page_path, '?t=9500&paused&seed=3&photo&crop', 390, 844);
  await crop.first_frame();
  const classic = await crop.picture();
  await crop.close();
  assert_matches(classic, reference(9500, 3, true, 390, 844, ['--crop']), '?crop');
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
  await stepped.page.setViewport({ width: 640, height: 480, deviceScaleFactor: 1 });
  await stepped.frames_past(before_resize);
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
