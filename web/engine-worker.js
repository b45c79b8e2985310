// The page's Web Worker: runs after the engine's loader (createLexmoraEngine) in the same script.
// One comparison at a time: the files arrive as File objects, are written into the engine's
// in-memory file system, compared, and the reports go back as bytes; then everything is removed
// so the next comparison starts clean. Stopping is done by the page ending this worker.
'use strict';

let engineReady = null;

function engine() {
  if (!engineReady) {
    engineReady = createLexmoraEngine({
      lexmoraNotify: (kind, first, second) => postMessage({ type: kind, first, second }),
      print: () => {},
      printErr: () => {},
    });
  }
  return engineReady;
}

// A browser gives a bare file name; anything that could leave its folder or break the one-path-a-
// line list the engine reads is replaced.
function safeName(name) {
  const cleaned = String(name).replace(/[\/\\\r\n\0]/g, '_');
  return cleaned === '' || cleaned === '.' || cleaned === '..' ? '_' + cleaned : cleaned;
}

function removeTree(FS, path) {
  let node;
  try {
    node = FS.lstat(path);
  } catch (e) {
    return;
  }
  if (FS.isDir(node.mode)) {
    for (const entry of FS.readdir(path)) if (entry !== '.' && entry !== '..') removeTree(FS, path + '/' + entry);
    FS.rmdir(path);
  } else {
    FS.unlink(path);
  }
}

// Files go to /source/<name> and /edited/<name>, which is how the reports name them; a second file
// of the same name in one list goes into a numbered folder beside.
function placeFiles(FS, side, files) {
  const root = '/' + side;
  FS.mkdir(root);
  const reader = new FileReaderSync();
  const paths = [];
  for (const file of files) {
    const name = safeName(file.name);
    let folder = root;
    for (let n = 2; FS.analyzePath(folder + '/' + name).exists; ++n) folder = root + '/' + n;
    if (!FS.analyzePath(folder).exists) FS.mkdir(folder);
    FS.writeFile(folder + '/' + name, new Uint8Array(reader.readAsArrayBuffer(file)));
    paths.push(folder + '/' + name);
  }
  return paths;
}

async function compare(request) {
  const M = await engine();
  const FS = M.FS;
  for (const dir of ['/source', '/edited', '/out']) removeTree(FS, dir);
  const o = request.options;
  let answer;
  try {
    const source = placeFiles(FS, 'source', request.source);
    const edited = placeFiles(FS, 'edited', request.edited);
    const pointer = M.ccall('lexmora_compare', 'number',
      ['string', 'string', 'number', 'number', 'number', 'number', 'number', 'number', 'string'],
      [source.join('\n'), edited.join('\n'), o.hideIdentical, o.ignoreNbsp, o.highlight, o.tags, o.format, o.lang, '/out']);
    answer = JSON.parse(M.UTF8ToString(pointer));
    M._free(pointer);
    answer.reports = [];
    for (const line of answer.lines) {
      if (line.kind !== 3) continue;
      const data = FS.readFile(line.path);
      line.name = line.path.slice(line.path.lastIndexOf('/') + 1);
      answer.reports.push({ name: line.name, data });
    }
  } finally {
    for (const dir of ['/source', '/edited', '/out']) removeTree(FS, dir);
  }
  answer.type = 'outcome';
  postMessage(answer, answer.reports.map((r) => r.data.buffer));
}

onmessage = (event) => {
  if (event.data.type !== 'compare') return;
  compare(event.data).catch((error) => postMessage({ type: 'failed', reason: String(error && error.message || error) }));
};
