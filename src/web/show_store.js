// show_store.js - the person's shows, kept in the browser (IndexedDB): each
// show's record (its name and show document) and the files it names (its
// photo, music), and which show was open last.
//
//   await show_store.open();                 // false: the browser keeps nothing (said once by the caller)
//   await show_store.list();                 // [{id, name, updated}], newest first
//   await show_store.load(id);               // {id, name, doc, labels, link, files: Map name -> Uint8Array}
//   await show_store.save(show, changed);    // the record, and the files in `changed` (a Set of names)
//   await show_store.remove(id);  show_store.current() / set_current(id)
//
// A save is one transaction: the record and its new files are all kept, or
// (storage full, the tab closed) none of it and the last complete save
// stays. A record that cannot be read back (damaged) is refused with an
// Error saying so; the others are unaffected.
var show_store = (function() {
  'use strict';

  var db = null;

  function request(r) {
    return new Promise(function(resolve, reject) {
      r.onsuccess = function() { resolve(r.result); };
      r.onerror = function() { reject(r.error); };
    });
  }

  function done(tx) {
    return new Promise(function(resolve, reject) {
      tx.oncomplete = function() { resolve(); };
      tx.onerror = tx.onabort = function() { reject(tx.error || new Error('the browser stopped the save')); };
    });
  }

  async function open() {
    if (db)
      return true;
    try {
      var r = indexedDB.open('vexa-studio', 1);
      r.onupgradeneeded = function() {
        r.result.createObjectStore('shows', { keyPath: 'id' });
        r.result.createObjectStore('files');  // key: [show id, file name]
        r.result.createObjectStore('meta');
      };
      db = await request(r);
      return true;
    } catch (e) {
      return false;
    }
  }

  function store(names, mode) {
    var tx = db.transaction(names, mode || 'readonly');
    return { tx: tx, get: function(n) { return tx.objectStore(n); } };
  }

  async function list() {
    var all = await request(store(['shows']).get('shows').getAll());
    return all.filter(function(s) { return s && typeof s.id === 'string'; }).map(function(s) {
      return { id: s.id, name: typeof s.name === 'string' ? s.name : 'A damaged show',
               updated: Number(s.updated) || 0 };
    }).sort(function(a, b) { return b.updated - a.updated; });
  }

  async function load(id) {
    var t = store(['shows', 'files']);
    var record = await request(t.get('shows').get(id));
    if (!record)
      throw new Error('this show is no longer kept in the browser');
    if (typeof record.name !== 'string' || !record.doc || typeof record.doc !== 'object' || record.doc.vexa !== 1)
      throw new Error('its copy in the browser is damaged');
    var files = new Map();
    var keys = await request(t.get('files').getAllKeys(IDBKeyRange.bound([id, ''], [id, '\uffff'])));
    for (var i = 0; i < keys.length; ++i) {
      var bytes = await request(t.get('files').get(keys[i]));
      if (!(bytes instanceof Uint8Array))
        throw new Error('its file ' + keys[i][1] + ' is damaged');
      files.set(keys[i][1], bytes);
    }
    return { id: record.id, name: record.name, doc: record.doc, labels: record.labels || {},
             link: record.link || '', files: files };
  }

  // The record, the files named in `changed`, and no files it no longer names.
  async function save(show, changed) {
    var t = store(['shows', 'files', 'meta'], 'readwrite'), finished = done(t.tx);
    t.get('shows').put({ id: show.id, name: show.name, updated: Date.now(), doc: show.doc,
                         labels: show.labels, link: show.link || '' });
    (changed || new Set()).forEach(function(name) {
      if (show.files.has(name))
        t.get('files').put(show.files.get(name), [show.id, name]);
    });
    t.get('files').getAllKeys(IDBKeyRange.bound([show.id, ''], [show.id, '\uffff'])).onsuccess = function(e) {
      e.target.result.forEach(function(key) {
        if (!show.files.has(key[1]))
          t.get('files').delete(key);
      });
    };
    t.get('meta').put(show.id, 'current');
    await finished;
  }

  async function remove(id) {
    var t = store(['shows', 'files'], 'readwrite'), finished = done(t.tx);
    t.get('shows').delete(id);
    t.get('files').delete(IDBKeyRange.bound([id, ''], [id, '\uffff']));
    await finished;
  }

  async function current() {
    return request(store(['meta']).get('meta').get('current'));
  }

  async function set_current(id) {
    var t = store(['meta'], 'readwrite'), finished = done(t.tx);
    t.get('meta').put(id, 'current');
    await finished;
  }

  return { open: open, list: list, load: load, save: save, remove: remove, current: current,
           set_current: set_current };
})();
