// art_engine_test.mjs - the page's artwork engine (build-web/vexa-art-engine.js,
// the page's own art_engine.js over vexa-art's code in WebAssembly) against
// the native vexa-art: the same words, photo and faces give the same twelve
// BMP files, and the same refusals and warnings, each tied to its field.
//
//   VEXA_ART_ENGINE=build-web/vexa-art-engine.js VEXA_ART=build/vexa-art \
//     node --test tests/art_engine_test.mjs
//
// Both sides read the faces from one directory. Every file equals vexa-art's
// byte for byte (the painting's maths is its own, art_math.h, not the C
// library's).
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { createRequire } from 'node:module';

const require = createRequire(import.meta.url);
const engine_path = process.env.VEXA_ART_ENGINE;
const vexa_art = process.env.VEXA_ART;
const font_dir = '/usr/share/fonts/truetype/dejavu';
const faces = ['DejaVuSans.ttf', 'DejaVuSans-Bold.ttf', 'DejaVuSerif.ttf', 'DejaVuSerif-Bold.ttf'];

let engine, work;
before(async () => {
  assert.ok(engine_path && vexa_art, 'VEXA_ART_ENGINE and VEXA_ART must be set');
  work = fs.mkdtempSync(path.join(os.tmpdir(), 'vexa-art-engine-'));
  engine = await require(path.resolve(engine_path))();
  for (const face of faces)
    engine.art_add_font(face, fs.readFileSync(path.join(font_dir, face)));
});
after(() => {
  if (work)
    fs.rmSync(work, { recursive: true, force: true });
});

// vexa-art on the same request: {status, files: {name: bytes}, lines: stderr lines}.
let runs = 0;
function native(request, photo_path) {
  const out = path.join(work, `native-${runs++}`);
  const args = ['-o', out];
  if (request.title !== undefined) args.push('--title', request.title);
  if (request.subtitle !== undefined) args.push('--subtitle', request.subtitle);
  for (const line of request.lines ?? []) args.push('--line', line);
  if (photo_path) args.push('--photo', photo_path);
  const run = spawnSync(vexa_art, args, { env: { ...process.env, VEXA_ART_FONT_DIR: font_dir } });
  const files = {};
  if (run.status === 0)
    for (const name of fs.readdirSync(out))
      files[name] = fs.readFileSync(path.join(out, name));
  const lines = run.stderr.toString().split('\n').filter((l) => l).map((l) => l.replace(/^vexa-art: /, ''));
  return { status: run.status, files, lines };
}

// A JPEG of ffmpeg's test picture, wider than tall, with an EXIF APP1 segment
// after the start marker that says "turned a quarter clockwise" (6).
function turned_jpeg(file) {
  execFileSync('ffmpeg', ['-v', 'error', '-y', '-f', 'lavfi', '-i', 'testsrc2=size=640x360', '-frames:v', '1',
                          '-pix_fmt', 'yuvj420p', file]);
  const jpeg = fs.readFileSync(file);
  const app1 = Buffer.from([0xFF, 0xE1, 0x00, 0x22, 0x45, 0x78, 0x69, 0x66, 0, 0,
                            0x4D, 0x4D, 0x00, 0x2A, 0x00, 0x00, 0x00, 0x08, 0x00, 0x01,
                            0x01, 0x12, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 6, 0x00, 0x00,
                            0x00, 0x00, 0x00, 0x00]);
  fs.writeFileSync(file, Buffer.concat([jpeg.subarray(0, 2), app1, jpeg.subarray(2)]));
  return fs.readFileSync(file);
}

// Asserts that a file equals vexa-art's, naming the first pixel that differs.
function assert_same(ours, theirs, name) {
  const a = Buffer.from(ours);
  assert.ok(theirs, `${name}: vexa-art made no such file`);
  if (a.equals(theirs))
    return;
  assert.equal(a.length, theirs.length, `${name}: sizes differ`);
  const offset = theirs.readUInt32LE(10), bytes_per_pixel = theirs.readUInt16LE(28) / 8;
  let i = 0;
  while (a[i] === theirs[i])
    ++i;
  assert.fail(i < offset ? `${name}: headers differ at byte ${i}`
                         : `${name}: pixel ${Math.floor((i - offset) / bytes_per_pixel)} differs (byte ${i}: ` +
                           `${a[i]}, vexa-art ${theirs[i]})`);
}

test('the default artwork is vexa-art\'s, byte for byte', () => {
  const ours = engine.art_make({});
  const theirs = native({});
  assert.equal(theirs.status, 0, theirs.lines.join('\n'));
  assert.ok(ours.ok, JSON.stringify(ours.notes));
  assert.deepEqual(ours.images.map((i) => i.name).sort(), Object.keys(theirs.files).sort());
  for (const image of ours.images)
    assert_same(image.bytes, theirs.files[image.name], image.name);
});

test('the page paints what vexa-art paints, byte for byte: accents, Hebrew, Arabic and a turned JPEG', () => {
  const photo_path = path.join(work, 'turned.jpg');
  const photo = turned_jpeg(photo_path);
  const request = {
    title: 'Grüße, Zoë!', subtitle: 'שלום · مع السلامة',
    lines: ['ça a été très sympa', 'תודה רבה לכולם', 'شكرا جزيلا', 'café 42 שלום', 'no face has \u{10FFF0}'],
  };
  const ours = engine.art_make({ ...request, photo: { name: 'turned.jpg', bytes: photo } });
  const theirs = native(request, photo_path);
  assert.equal(theirs.status, 0, theirs.lines.join('\n'));
  assert.ok(ours.ok, JSON.stringify(ours.notes));
  assert.deepEqual(ours.notes, [{ field: 'line 5', text: 'line 5: no font has U+10FFF0' }]);
  assert.deepEqual(ours.notes.map((n) => n.text), theirs.lines);
  assert.deepEqual(ours.images.map((i) => i.name).sort(), Object.keys(theirs.files).sort());
  for (const image of ours.images)
    assert_same(image.bytes, theirs.files[image.name], image.name);
});

test('refusals name their field, in vexa-art\'s words', () => {
  const cases = [
    // [what, request, photo bytes or null, field]
    ['a title far too long', { title: 'so long '.repeat(40) }, null, 'title'],
    ['a strip far too long', { lines: ['ok', 'x'.repeat(400)] }, null, 'line 2'],
    ['eight strips', { lines: 'abcdefgh'.split('') }, null, 'lines'],
    ['a photo that is no picture', {}, Buffer.from('not a picture at all'), 'photo'],
    ['a line separator in a strip', { lines: ['ok', 'a\u2028b'] }, null, 'line 2'],
  ];
  for (const [what, request, photo, field] of cases) {
    let photo_path = null;
    if (photo) {
      photo_path = path.join(work, 'trip.jpg');
      fs.writeFileSync(photo_path, photo);
    }
    const ours = engine.art_make({ ...request, ...(photo ? { photo: { name: photo_path, bytes: photo } } : {}) });
    const theirs = native(request, photo_path);
    assert.equal(ours.ok, false, what);
    assert.equal(ours.images.length, 0, what);
    assert.equal(ours.notes.at(-1).field, field, what);
    assert.equal(theirs.status, field === 'lines' ? 2 : 1, what);
    if (field !== 'lines')  // vexa-art refuses that one as a usage error, before painting
      assert.deepEqual(ours.notes.map((n) => n.text), theirs.lines, what);
  }
  // A NUL (which no command line carries) reaches the check whole, as the page's
  // address may hold one (#title=ab%00cd).
  const nul = engine.art_make({ title: 'ab\0cd' });
  assert.equal(nul.ok, false);
  assert.deepEqual(nul.notes.at(-1),
                   { field: 'title', text: 'the title "ab\\x00cd": a control character cannot be set; give one line of text' });
  // The engine keeps working after a refusal.
  assert.ok(engine.art_make({ title: 'again' }).ok);
});

test('a show document paints what vexa-art --show paints, and is refused in its words', () => {
  const dir = path.join(work, 'show');
  fs.mkdirSync(dir, { recursive: true });
  const photo = turned_jpeg(path.join(dir, 'trip.jpg'));
  engine.art_add_file('/show/trip.jpg', photo);
  const show = (text) => {
    fs.writeFileSync(path.join(dir, 'party.vexa.json'), text);
    const out = path.join(work, `show-${runs++}`);
    const run = spawnSync(vexa_art, ['--show', path.join(dir, 'party.vexa.json'), '-o', out],
                          { env: { ...process.env, VEXA_ART_FONT_DIR: font_dir } });
    return { run, out, ours: engine.art_make_show(text, '/show', path.join(dir, 'party.vexa.json')) };
  };
  const { run, out, ours } = show(JSON.stringify({ vexa: 1, title: 'Mia', lines: ['eins', 'zwei'],
                                                   photo: { file: 'trip.jpg' } }));
  assert.equal(run.status, 0, run.stderr.toString());
  assert.ok(ours.ok, JSON.stringify(ours.notes));
  for (const image of ours.images)
    assert_same(image.bytes, fs.readFileSync(path.join(out, image.name)), image.name);
  const bad = show('{"vexa": 1, "look": {"title": {"colour": "#ggg"}}}');
  assert.equal(bad.run.status, 2);
  assert.equal(bad.ours.status, 2);
  assert.equal(bad.ours.notes.at(-1).field, 'look.title.colour');
  assert.equal('vexa-art: ' + bad.ours.notes.at(-1).text + '\n', bad.run.stderr.toString());
});
