// pack_files.mjs - packs files for the page: each gzip-compressed and in
// base64, as a script that unpack_files.js writes into the page's file
// system before the show starts. Run by the build (CMakeLists.txt).
//
//   node pack_files.mjs OUT.js DIR=NAME...   every file of DIR as NAME/<file>
//   node pack_files.mjs OUT --one FILE        FILE alone, its gzip in base64 as OUT's whole text
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';

const [out, ...dirs] = process.argv.slice(2);
if (dirs[0] === '--one' && dirs.length === 2) {
  fs.writeFileSync(out, zlib.gzipSync(fs.readFileSync(dirs[1]), { level: 9 }).toString('base64'));
  process.exit(0);
}
if (!out || dirs.length === 0 || dirs.some((d) => !d.includes('='))) {
  console.error('usage: node pack_files.mjs OUT.js DIR=NAME... | OUT --one FILE');
  process.exit(2);
}
const files = [];
for (const pair of dirs) {
  const [dir, name] = pair.split('=');
  for (const file of fs.readdirSync(dir).sort()) {
    const full = path.join(dir, file);
    if (!fs.statSync(full).isFile())
      continue;
    const packed = zlib.gzipSync(fs.readFileSync(full), { level: 9 }).toString('base64');
    files.push(`  [${JSON.stringify(name + '/' + file)}, "${packed}"],`);
  }
}
fs.writeFileSync(out, `// The page's files, gzip and base64 (written by pack_files.mjs).\nvar vexa_packed_files = [\n${files.join('\n')}\n];\n`);
