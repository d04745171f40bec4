// studio.js - the studio: the person's show as a show document (the keys of
// docs/show-document.md) edited by the form's steps (words and credits,
// photo, look, timing, music), kept in the browser (show_store.js) after
// every change and restored on reload, a list of shows (new, rename,
// duplicate, delete), "Save show" / "Open show" as .vexa files (a zip of
// show.vexa.json and the files it names), the preview's controls on the
// picture, "Make the video" (export.js) with an honest time left
// (time_left.js), "Share", "Download artwork" and "Copy link". The form
// stays locked until the show has loaded.
//
// The words, seed and aspect also travel in the page's address, in its
// query or (winning over it) its fragment: #title=...&subtitle=...&line=...
// (up to seven)&seed=N&aspect=16:9; an empty title= or subtitle= leaves it
// out, strips=none has no strips. A link opened (or its fragment changed in
// a tab already showing the page) becomes a show of its own in the list. A
// bad value is named in the notice.
//
// apply_document() is the one place the document meets the show's engine:
// its words and photo through Module.art_make (the twelve images written to
// /studio/tex and the show reloaded from there), the seed and the photo
// switch through web_reload, the aspect through the player's frame. With
// the engine's document entry the show plays the document it was made from
// (its timing among the rest); the timing controls make it again.
var vexa_studio = (function() {
  'use strict';

  var aspects = { 'window': null, '4:3': [4, 3], '16:9': [16, 9], '9:16': [9, 16], '1:1': [1, 1] };
  // The export spans, from the show's timeline (classically 16000 ms, the closing from 9000).
  function spans() {
    var end = Module._web_show_end(), closing = Module._web_closing_start();
    return { show: [0, end], leader: [0, closing], closing: [closing, end] };
  }
  var rates = { '24': [24, 1], '25': [25, 1], '30': [30, 1], '23.976': [24000, 1001], '29.97': [30000, 1001] };
  var max_lines = 7, max_credits = 500, max_text = 2000;
  var limits = { photo: 50 * 1048576, music: 100 * 1048576, vexa: 64 * 1048576, json: 1048576, credits: 1048576 };
  var $ = function(id) { return document.getElementById(id); };
  var state = { show: null, seed: 0, job: null, art_dir: 0, remake: null, saving: null, save_timer: null,
                made: null, changed: new Set(), video: null, kept: true };
  var remake_after_ms = 700, save_after_ms = 150;

  function new_show(name) {
    return { id: 'show-' + Date.now().toString(36) + '-' + Math.random().toString(36).slice(2, 8),
             name: name, doc: { vexa: 1 }, labels: {}, link: '', files: new Map() };
  }
  function doc() { return state.show.doc; }

  // --- the address ---------------------------------------------------------

  // The address's words, seed and aspect: the query's, then the fragment's
  // over them. Returns {title, subtitle, lines, seed, aspect}, each absent
  // when not given or bad.
  function read_address(only_fragment) {
    var found = {};
    [only_fragment ? '' : location.search, location.hash].forEach(function(part, index) {
      var mark = index === 0 ? '?' : '#';
      if (part.length > 65536) {
        Module.notice('vexa: this link is ' + Math.round(part.length / 1024) + ' KB long, too long for a show: ' +
                      'nothing was taken from its ' + (index ? 'fragment' : 'query'));
        return;
      }
      var params = new URLSearchParams();
      part.slice(1).split('&').forEach(function(pair) {
        var equals = pair.indexOf('='), name, value;
        try {
          name = decodeURIComponent((equals < 0 ? pair : pair.slice(0, equals)).replace(/\+/g, ' '));
          value = equals < 0 ? '' : decodeURIComponent(pair.slice(equals + 1).replace(/\+/g, ' '));
        } catch (e) {  // a malformed escape, or bytes that are not UTF-8
          Module.notice('vexa: ' + mark + pair.slice(0, 40) + ': not UTF-8 text');
          return;
        }
        if (pair)
          params.append(name, value);
      });
      var too_long = function(name, v) {
        if (v.length <= max_text)
          return false;
        Module.notice('vexa: ' + mark + name + '=' + v.slice(0, 40) + '...: ' + v.length +
                      ' characters, too long for the show');
        return true;
      };
      var lines = params.getAll('line').filter(function(l) { return !too_long('line', l); });
      if (lines.length > max_lines)
        Module.notice('vexa: ' + mark + 'line: ' + lines.length + ' lines, at most ' + max_lines + ' are shown');
      if (lines.length)
        found.lines = lines.slice(0, max_lines);
      if (params.get('strips') === 'none')
        found.lines = [];
      ['title', 'subtitle'].forEach(function(name) {
        if (params.has(name) && !too_long(name, params.get(name)))
          found[name] = params.get(name);
      });
      if (params.has('aspect')) {
        if (aspects.hasOwnProperty(params.get('aspect')))
          found.aspect = params.get('aspect');
        else
          Module.notice('vexa: ' + mark + 'aspect=' + params.get('aspect').slice(0, 40) +
                        ': not an aspect (window, 4:3, 16:9, 9:16, 1:1)');
      }
      // The query's seed is the player's own (page_options); the fragment's wins.
      if (index === 1 && params.has('seed')) {
        var seed = params.get('seed');
        if (/^[0-9]{1,10}$/.test(seed) && Number(seed) <= 4294967295)
          found.seed = Number(seed);
        else
          Module.notice('vexa: #seed=' + seed.slice(0, 40) + ': not a seed (0 to 4294967295)');
      }
    });
    return found;
  }

  function link() {
    var params = new URLSearchParams(), d = doc();
    if (d.title !== undefined)
      params.append('title', d.title);
    if (d.subtitle !== undefined)
      params.append('subtitle', d.subtitle);
    if (d.lines && !d.lines.length)
      params.append('strips', 'none');
    (d.lines || []).forEach(function(line) { params.append('line', line); });
    params.append('seed', String(state.seed >>> 0));
    params.append('aspect', d.aspect || 'window');
    return location.href.replace(/#.*$/, '') + '#' + params.toString().replace(/\+/g, '%20');
  }

  // --- the document and the form --------------------------------------------

  function strip_lines(text) {
    text = text.replace(/\r/g, '');
    return text ? text.split('\n').slice(0, max_lines) : [];
  }

  // Credits from text: a line a credit, "role<TAB>name" or "role — name", or
  // CSV "role,name" (a first line "role,name" is a header).
  function read_credits(text, csv) {
    var out = [];
    text.replace(/\r/g, '').split('\n').forEach(function(line, i) {
      if (!line.trim() || (csv && i === 0 && /^\s*role\s*,\s*name\s*$/i.test(line)))
        return;
      var parts = csv ? csv_fields(line) : line.split(/\t| — /);
      out.push(parts.length >= 2 ? [parts[0].trim(), parts.slice(1).join(' ').trim()] : parts[0].trim());
    });
    return out;
  }
  function csv_fields(line) {
    var fields = [], field = '', quoted = false;
    for (var i = 0; i < line.length; ++i) {
      var c = line[i];
      if (quoted && c === '"' && line[i + 1] === '"') { field += '"'; ++i; }
      else if (c === '"') quoted = !quoted;
      else if (c === ',' && !quoted) { fields.push(field); field = ''; }
      else field += c;
    }
    fields.push(field);
    return fields;
  }
  function credits_text(credits) {
    return (credits || []).map(function(c) { return Array.isArray(c) ? c[0] + ' — ' + c[1] : c; }).join('\n');
  }

  function number_field(id, scale) {
    var v = $(id).value.trim();
    return v === '' ? undefined : Math.round(Number(v) * (scale || 1));
  }
  function set_or_delete(object, key, value) {
    if (value === undefined || value === null || value === '')
      delete object[key];
    else
      object[key] = value;
  }
  function tidy(object, key) {  // an empty group leaves the document
    if (object[key] && !Object.keys(object[key]).length)
      delete object[key];
  }

  // The form's words, photo switches, look, timing and sound into the document.
  function form_to_doc() {
    var d = doc();
    ['title', 'subtitle'].forEach(function(k) {
      if ($(k + '-off').checked)
        d[k] = '';
      else
        set_or_delete(d, k, $(k).value);
      $(k).disabled = $(k + '-off').checked;
    });
    if ($('lines-off').checked)
      d.lines = [];
    else if ($('lines').value)
      d.lines = strip_lines($('lines').value);
    else
      delete d.lines;
    $('lines').disabled = $('lines-off').checked;
    var credits = read_credits($('credits').value, false);
    if (credits.length)
      d.credits = credits.slice(0, max_credits);
    else
      delete d.credits;
    d.seed = state.seed >>> 0;
    set_or_delete(d, 'aspect', $('aspect').value === 'window' ? undefined : $('aspect').value);

    var photo = d.photo || {};
    if ($('photo-on').checked)  // a photo file named turns the backdrop on by itself
      set_or_delete(photo, 'show', photo.file ? undefined : true);
    else
      set_or_delete(photo, 'show', photo.file ? false : undefined);
    set_or_delete(photo, 'zoom', Number($('zoom').value) !== 1 ? Number($('zoom').value) : undefined);
    d.photo = photo;
    tidy(d, 'photo');

    var look = d.look || {}, which = $('look-text').value, style = look[which] || {};
    set_or_delete(style, 'font', $('look-font').value);
    set_or_delete(style, 'weight', $('look-weight').value);
    set_or_delete(style, 'colour', $('look-colour-on').checked ? $('look-colour').value : undefined);
    set_or_delete(style, 'outline', $('look-outline-on').checked ? { width: 4, colour: $('look-outline').value } : undefined);
    set_or_delete(style, 'shadow', $('look-shadow-on').checked ?
                  { dx: 6, dy: 6, blur: 8, colour: $('look-shadow').value } : undefined);
    set_or_delete(style, 'box', $('look-box-on').checked ? $('look-box').value : undefined);
    look[which] = style;
    tidy(look, which);
    set_or_delete(look, 'background', $('look-background-on').checked ? $('look-background').value : undefined);
    d.look = look;
    tidy(d, 'look');

    var timing = d.timing || {};
    set_or_delete(timing, 'count_from', number_field('count-from'));
    set_or_delete(timing, 'count_to', number_field('count-to'));
    set_or_delete(timing, 'count_ms', number_field('count-ms', 1000));
    set_or_delete(timing, 'card', $('card').value === 'flash' ? undefined : $('card').value);
    set_or_delete(timing, 'leader', $('timing-leader').checked ? undefined : false);
    set_or_delete(timing, 'closing_ms', $('closing-music').checked ? 'music' : number_field('closing-ms', 1000));
    d.timing = timing;
    tidy(d, 'timing');

    var sound = d.sound || {};
    set_or_delete(sound, 'music_start_ms', number_field('music-start', 1000));
    set_or_delete(sound, 'music_level', Number($('music-level').value) !== -16 ? Number($('music-level').value) : undefined);
    set_or_delete(sound, 'fade_in_ms', number_field('fade-in', 1000));
    set_or_delete(sound, 'fade_out_ms', number_field('fade-out', 1000));
    set_or_delete(sound, 'loop', $('music-loop').checked ? undefined : false);
    set_or_delete(sound, 'pop', $('pop').checked ? true : undefined);
    d.sound = sound;
    tidy(d, 'sound');
    $('music-level-shown').textContent = $('music-level').value + ' LUFS';
    check_ranges();
  }

  // Values the format refuses, said next to their step.
  function check_ranges() {
    var t = doc().timing || {}, why = [];
    if (t.count_from !== undefined && (t.count_from < -99 || t.count_from > 99))
      why.push('Count from: a whole number from -99 to 99.');
    if (t.count_to !== undefined && (t.count_to < -99 || t.count_to > 99))
      why.push('Count to: a whole number from -99 to 99.');
    if ((t.count_from === undefined ? 5 : t.count_from) < (t.count_to === undefined ? -3 : t.count_to))
      why.push('The count goes down: "Count from" must be at least "Count to".');
    if (t.count_ms !== undefined && (t.count_ms < 250 || t.count_ms > 5000))
      why.push('Each count lasts from 0.25 to 5 seconds.');
    if (typeof t.closing_ms === 'number' && (t.closing_ms < 4000 || t.closing_ms > 600000))
      why.push('The closing lasts from 4 to 600 seconds.');
    $('timing-message').textContent = why.join('\n');
    return !why.length;
  }

  function style_to_form() {
    var style = ((doc().look || {})[$('look-text').value]) || {};
    $('look-font').value = style.font || '';
    $('look-weight').value = style.weight || '';
    [['colour', style.colour], ['outline', style.outline && style.outline.colour],
     ['shadow', style.shadow && style.shadow.colour], ['box', style.box]].forEach(function(p) {
      $('look-' + p[0] + '-on').checked = !!p[1];
      if (p[1])
        $('look-' + p[0]).value = p[1].slice(0, 7);
    });
  }

  function doc_to_form() {
    var d = doc();
    ['title', 'subtitle'].forEach(function(k) {
      $(k + '-off').checked = d[k] === '';
      $(k).value = d[k] || '';
      $(k).disabled = d[k] === '';
    });
    $('lines-off').checked = !!d.lines && !d.lines.length;
    $('lines').value = (d.lines || []).join('\n');
    $('lines').disabled = $('lines-off').checked;
    $('credits').value = credits_text(d.credits);
    $('seed').value = state.seed;
    if (d.aspect && ![].some.call($('aspect').options, function(o) { return o.value === d.aspect; })) {
      var option = document.createElement('option');  // any shape the format allows, as the show names it
      option.value = option.textContent = d.aspect;
      $('aspect').appendChild(option);
    }
    $('aspect').value = d.aspect || 'window';
    var photo = d.photo || {};
    $('photo-on').checked = photo.show !== false && !!(photo.show || photo.file);
    $('zoom').value = photo.zoom || 1;
    $('photo-name').textContent = photo.file ? state.show.labels[photo.file] || photo.file : '';
    show_focus();
    style_to_form();
    var bg = (d.look || {}).background;
    $('look-background-on').checked = typeof bg === 'string';
    if (typeof bg === 'string')
      $('look-background').value = bg.slice(0, 7);
    var t = d.timing || {};
    $('count-from').value = t.count_from !== undefined ? t.count_from : '';
    $('count-to').value = t.count_to !== undefined ? t.count_to : '';
    $('count-ms').value = t.count_ms !== undefined ? t.count_ms / 1000 : '';
    $('card').value = t.card || 'flash';
    $('timing-leader').checked = t.leader !== false;
    $('closing-music').checked = t.closing_ms === 'music';
    $('closing-ms').value = typeof t.closing_ms === 'number' ? t.closing_ms / 1000 : '';
    var s = d.sound || {};
    $('music-level').value = s.music_level !== undefined ? s.music_level : -16;
    $('music-level-shown').textContent = $('music-level').value + ' LUFS';
    $('music-start').value = s.music_start_ms !== undefined ? s.music_start_ms / 1000 : '';
    $('fade-in').value = s.fade_in_ms !== undefined ? s.fade_in_ms / 1000 : '';
    $('fade-out').value = s.fade_out_ms !== undefined ? s.fade_out_ms / 1000 : '';
    $('music-loop').checked = s.loop !== false;
    $('pop').checked = !!s.pop;
    $('music-name').textContent = s.music ? state.show.labels[s.music] || s.music : '';
    check_ranges();
  }

  function show_focus() {
    var f = (doc().photo || {}).focus;
    $('focus-shown').textContent = f ? 'Kept in view: the point ' + Math.round(f[0] * 100) + '% across and ' +
                                       Math.round(f[1] * 100) + '% down the photo.' : '';
  }

  // --- validating a document (Open show) ------------------------------------

  var colour = /^#([0-9a-fA-F]{3}|[0-9a-fA-F]{6}|[0-9a-fA-F]{8})$/;
  function is_int(lo, hi) { return function(v) { return Number.isInteger(v) && v >= lo && v <= hi; }; }
  function is_num(lo, hi) { return function(v) { return typeof v === 'number' && v >= lo && v <= hi; }; }
  function is_bool(v) { return typeof v === 'boolean'; }
  function is_text(v) { return typeof v === 'string' && v.length <= max_text; }
  function is_colour(v) { return typeof v === 'string' && colour.test(v); }
  function is_file(v) { return typeof v === 'string' && v.length > 0 && v.length <= 255; }
  function group(keys) { return { group: keys }; }
  var text_style = group({
    font: is_file, weight: function(v) { return v === 'regular' || v === 'bold'; }, colour: is_colour,
    outline: group({ width: is_num(0, 16), colour: is_colour }),
    shadow: group({ dx: is_num(-64, 64), dy: is_num(-64, 64), blur: is_num(0, 32), colour: is_colour }),
    box: is_colour, size: is_num(0.25, 2) });
  var format = group({
    vexa: function(v) { return v === 1; }, title: is_text, subtitle: is_text,
    lines: function(v) { return Array.isArray(v) && v.length <= max_lines && v.every(is_text); },
    credits: function(v) {
      return Array.isArray(v) && v.length <= max_credits && v.every(function(c) {
        return is_text(c) || (Array.isArray(c) && c.length === 2 && c.every(is_text));
      });
    },
    seed: is_int(0, 4294967295),
    aspect: function(v) {
      var m = typeof v === 'string' && /^([0-9]{1,3}):([0-9]{1,3})$/.exec(v);
      return !!m && m[1] > 0 && m[2] > 0 && m[1] * 21 >= m[2] * 9 && m[1] * 9 <= m[2] * 21;
    },
    layout: function(v) { return ['adapt', 'fit', 'crop'].indexOf(v) >= 0; },
    photo: group({ show: is_bool, file: is_file,
                   focus: function(v) { return Array.isArray(v) && v.length === 2 && v.every(is_num(0, 1)); },
                   zoom: is_num(1, 4) }),
    look: group({
      background: function(v) {
        return is_colour(v) || (v && typeof v === 'object' && !Array.isArray(v) && is_colour(v.from) &&
                                is_colour(v.to) && is_num(0, 360)(v.angle) && Object.keys(v).length === 3);
      },
      title: text_style, subtitle: text_style, lines: text_style, credits: text_style,
      card: group({ paper: is_colour, ink: is_colour }), bar: is_colour }),
    timing: group({ count_from: is_int(-99, 99), count_to: is_int(-99, 99), count_ms: is_int(250, 5000),
                    card: function(v) { return v === 'flash' || v === 'hold'; }, leader: is_bool,
                    closing_ms: function(v) { return v === 'music' || is_int(4000, 600000)(v); } }),
    sound: group({ music: is_file, music_start_ms: is_int(0, 4294967295), music_level: is_num(-40, -6),
                   fade_in_ms: is_int(0, 10000), fade_out_ms: is_int(0, 10000), loop: is_bool, pop: is_bool,
                   beep: is_bool, tone_level: is_num(-96, 0) }) });

  // Null, or "key.path: what is wrong" for the first fault.
  function check_document(value, rule, path) {
    rule = rule || format;
    if (!value || typeof value !== 'object' || Array.isArray(value))
      return (path || 'the show') + ': not a group of settings';
    for (var key in value) {
      var where = path ? path + '.' + key : key, r = rule.group[key];
      if (!r)
        return where + ': not a setting this page knows';
      var why = r.group ? check_document(value[key], r, where) : r(value[key]) ? null :
                where + ': ' + JSON.stringify(value[key]).slice(0, 40) + ' is not allowed here';
      if (why)
        return why;
    }
    if (!path && value.vexa !== 1)
      return value.vexa > 1 ? 'made by a newer vexa' : 'vexa: 1 is missing (not a show document)';
    if (!path && value.timing && (value.timing.count_from === undefined ? 5 : value.timing.count_from) <
                                 (value.timing.count_to === undefined ? -3 : value.timing.count_to))
      return 'timing.count_from: below timing.count_to';
    return null;
  }

  // --- plain words for the engine's notes --------------------------------------

  function plain(text) {
    text = text.replace(/ does not fit its [0-9]+x[0-9]+ box with letters of [0-9]+ pixels or more$/,
                        ' does not fit. This line is too long for its place: shorten it');
    var missing = /^(.*): no font has((?: U\+[0-9A-F]+)+)$/.exec(text);
    if (missing) {
      var codes = missing[2].trim().split(' ').map(function(u) { return parseInt(u.slice(2), 16); });
      var named = codes.map(function(c) {
        var hex = 'U+' + c.toString(16).toUpperCase().padStart(4, '0');
        return String.fromCodePoint(c) + ' ' + (char_name(c) || hex);
      });
      var many = codes.length > 1;
      text = missing[1] + ': ' + named.join(', ') + ' cannot be drawn: no font has ' + (many ? 'them' : 'it') +
             '; remove ' + (many ? 'them' : 'it') + ' or add a font that has ' + (many ? 'them' : 'it');
    }
    return text;
  }

  // A line under the field it concerns ('title', 'subtitle', 'line 3',
  // 'lines', 'photo'; others under the words' buttons); a warning stands out
  // from a refusal.
  function field_message(field, text, warning) {
    var group = /^(photo|look|timing|credits|sound)\b/.exec(field || '');
    var id = { title: 'title-message', subtitle: 'subtitle-message' }[field] ||
             (/^line/.test(field) ? 'lines-message' : group ? { photo: 'photo-message', look: 'look-message',
               timing: 'timing-message', credits: 'credits-message', sound: 'music-message' }[group[1]] :
               'words-message');
    var line = document.createElement('span');
    text = plain(text);
    line.textContent = warning ? 'Warning: ' + text : text;
    if (warning)
      line.className = 'warning';
    if ($(id).firstChild)
      $(id).appendChild(document.createTextNode('\n'));
    $(id).appendChild(line);
  }

  // --- the document onto the engine ----------------------------------------------

  // What the artwork is made from: with the engine's document entry
  // (Module.art_make_show) the whole document, its files written under
  // /show; without it (today's engine) its words and photo through
  // Module.art_make. {key: what it depends on (null: the packed artwork's
  // own), make: the engine's call}.
  function art_source() {
    var d = with_music_length(doc()), files = state.show.files;
    if (Module.art_make_show) {
      var painted = JSON.parse(JSON.stringify(d));  // what the show's stage or the sound apply is left out
      ['seed', 'aspect', 'layout', 'sound'].forEach(function(k) { delete painted[k]; });
      if (painted.photo) {
        ['show', 'focus', 'zoom'].forEach(function(k) { delete painted.photo[k]; });
        tidy(painted, 'photo');
      }
      var named = painted.photo && painted.photo.file;
      return {
        key: Object.keys(painted).length === 1 ? null :
             JSON.stringify(painted) + (named && files.has(named) ? files.get(named).length : ''),
        make: function() {
          FS.mkdirTree('/show');
          files.forEach(function(bytes, name) { FS.writeFile('/show/' + name, bytes); });
          try {
            var result = Module.art_make_show(JSON.stringify(d), '/show', 'show.vexa.json');
            // The engine names a file by where the page put it: say it as the person named it.
            result.notes.forEach(function(n) {
              files.forEach(function(bytes, name) {
                n.text = n.text.split('/show/' + name).join(state.show.labels[name] || name);
              });
            });
            return result;
          } finally {
            files.forEach(function(bytes, name) { FS.unlink('/show/' + name); });
          }
        },
      };
    }
    var request = { title: d.title !== undefined ? d.title : null,
                    subtitle: d.subtitle !== undefined ? d.subtitle : null };
    if (d.lines)
      request.lines = d.lines;
    var file = d.photo && d.photo.file;
    if (file && files.has(file))
      request.photo = { name: state.show.labels[file] || file, bytes: files.get(file) };
    return {
      key: request.title === null && request.subtitle === null && !request.lines && !request.photo ? null :
           JSON.stringify([request.title, request.subtitle, request.lines]) +
           (request.photo ? request.photo.bytes.length + request.photo.name : ''),
      photo: !!request.photo,
      make: function() { return Module.art_make(request); },
    };
  }
  // The document with a closing "as long as the music" made a length the
  // engine takes: the show ends with the music (the leader's length less),
  // within the closing's 4 to 600 s; the classic 7 s until the music is read.
  function with_music_length(d) {
    var t = d.timing || {}, s = d.sound || {};
    if (t.closing_ms !== 'music')
      return d;
    var copy = JSON.parse(JSON.stringify(d)), music = s.music ? vexa_music.length_ms(s.music_start_ms) : null;
    var from = t.count_from !== undefined ? t.count_from : 5, to = t.count_to !== undefined ? t.count_to : -3;
    var leader = t.leader === false ? 0 : (from - to + 1) * (t.count_ms || 1000);
    if (music === null)
      delete copy.timing.closing_ms;
    else
      copy.timing.closing_ms = Math.min(600000, Math.max(4000, music - leader));
    return copy;
  }
  function artwork_current() {
    return state.made === art_source().key;
  }

  function remake_soon() {
    clearTimeout(state.remake);
    state.remake = setTimeout(function() {
      if (!state.job && !artwork_current())
        make_art();
    }, remake_after_ms);
  }

  function clear_messages() {
    ['title-message', 'subtitle-message', 'lines-message', 'photo-message', 'words-message', 'look-message',
     'credits-message'].forEach(function(id) {
      $(id).textContent = '';
    });
  }

  // New artwork from the document's words and photo, when the page has the
  // engine: the engine's result ({ok, images, notes}), or null when there is
  // none. Notes are shown by their fields: when refused, the last is the
  // refusal and those before it warnings, as all are when made.
  function make_art() {
    clearTimeout(state.remake);
    form_to_doc();  // the form as it stands, even when set without an event
    clear_messages();
    if (!Module.art_make) {
      field_message('', 'This page was built without the artwork engine: the show keeps its own words.');
      return null;
    }
    var source = art_source(), result;
    try {
      result = source.make();
    } catch (e) {  // the page's memory will not hold the photo
      result = { ok: false, images: [], notes: [{ field: source.photo ? 'photo' : '',
                                                  text: 'The artwork could not be made: ' + (e && e.message || e) }] };
    }
    result.notes.forEach(function(note, i) {
      field_message(note.field, note.text, result.ok || i < result.notes.length - 1);
    });
    if (!result.ok)
      return result;
    FS.mkdirTree('/studio/tex');
    result.images.forEach(function(image) { FS.writeFile('/studio/tex/' + image.name, image.bytes); });
    state.art_dir = 1;
    state.made = source.key;
    reload(true);
    return result;
  }

  // The show loaded again with the artwork, photo switch and seed, unless
  // it already has them (force: new artwork in the same place).
  function reload(force) {
    var key = JSON.stringify([state.art_dir, $('photo-on').checked, state.seed >>> 0]);
    if (key === state.loaded && !force)
      return;
    state.loaded = key;
    Module.ccall('web_reload', 'number', ['string', 'number', 'number'],
                 [state.art_dir ? '/studio/tex' : null, $('photo-on').checked ? 1 : 0, state.seed >>> 0]);
  }

  // The whole document onto the show: artwork when it differs from the
  // packed one's words, else the packed artwork; seed and photo switch.
  function apply_document() {
    clear_messages();
    if (art_source().key === null) {  // the packed artwork is this
      state.art_dir = 0;
      state.made = null;
      reload();
    } else if (!artwork_current()) {
      var result = make_art();
      if (!result || !result.ok)
        reload();
    } else {
      reload();
    }
    fit_player();
  }

  // --- keeping the show ------------------------------------------------------------

  function shows_message(text, kind) {
    $('shows-message').textContent = '';
    if (!text)
      return;
    var span = document.createElement('span');
    span.textContent = text;
    if (kind)
      span.className = kind;
    $('shows-message').appendChild(span);
  }

  // Saves the show soon (changes come in bursts while typing); one save at a time.
  function changed() {
    if (!state.show)
      return;
    clearTimeout(state.save_timer);
    state.save_timer = setTimeout(save_now, save_after_ms);
  }

  function save_now() {
    clearTimeout(state.save_timer);
    state.save_timer = null;
    if (!state.kept)
      return Promise.resolve();
    var files = state.changed;
    state.changed = new Set();
    var show = { id: state.show.id, name: state.show.name, doc: JSON.parse(JSON.stringify(doc())),
                 labels: state.show.labels, link: state.show.link, files: state.show.files };
    var previous = state.saving || Promise.resolve();
    state.saving = previous.then(function() { return show_store.save(show, files); }).then(function() {
      if (/storage/.test($('shows-message').textContent))
        shows_message('');
      refresh_list();
    }, function(e) {
      files.forEach(function(f) { state.changed.add(f); });  // tried again with the next change
      shows_message(e && e.name === 'QuotaExceededError' ?
        'The browser\'s storage for this page is full: your latest changes are not kept. Delete shows you no ' +
        'longer need, or use Save show to keep this one as a file.' :
        'Your latest changes could not be kept in the browser\'s storage (' + (e && e.message || e) + '). ' +
        'Use Save show to keep this one as a file.');
    });
    return state.saving;
  }

  // Every pending save done: resolves when the show as it stands is kept.
  function flush() {
    return state.save_timer ? save_now() : state.saving || Promise.resolve();
  }

  async function refresh_list() {
    if (!state.kept)
      return;
    var shows = await show_store.list().catch(function() { return []; });
    if (!shows.some(function(s) { return s.id === state.show.id; }))
      shows.unshift({ id: state.show.id, name: state.show.name });
    var list = $('show-list');
    list.textContent = '';
    shows.forEach(function(s) {
      var option = document.createElement('option');
      option.value = s.id;
      option.textContent = s.name;
      list.appendChild(option);
    });
    list.value = state.show.id;
  }

  // Makes `show` the one in the studio and on the picture.
  async function switch_to(show) {
    state.show = show;
    state.seed = typeof show.doc.seed === 'number' ? show.doc.seed >>> 0 : state.seed;
    show.doc.seed = state.seed;
    state.made = undefined;  // whatever is on the picture, make it again
    doc_to_form();
    apply_document();
    load_music();
    if (state.kept)
      await show_store.set_current(show.id).catch(function() {});
    await refresh_list();
  }

  async function add_show(show, files_changed) {
    state.changed = new Set(files_changed || show.files.keys());
    state.show = show;
    await switch_to(show);
    await save_now();
  }

  function show_name_for(d) {
    return (d.title || (d.lines && d.lines[0]) || 'My show').slice(0, 60);
  }

  async function on_new() {
    await flush();
    var show = new_show('Show ' + ($('show-list').options.length + 1));
    show.doc.seed = state.seed = crypto.getRandomValues(new Uint32Array(1))[0];
    await add_show(show);
    shows_message('A new show: its words, photo and look start as the classic show\'s.', 'done');
  }

  async function on_pick_show() {
    var id = $('show-list').value;
    await flush();
    try {
      await switch_to(await show_store.load(id));
      shows_message('');
    } catch (e) {
      shows_message('That show could not be opened: ' + (e && e.message || e) + '.');
      $('show-list').value = state.show.id;
    }
  }

  async function on_rename() {
    var name = prompt('A name for this show:', state.show.name);
    if (name === null || !name.trim())
      return;
    state.show.name = name.trim().slice(0, 80);
    await save_now();
  }

  async function on_duplicate() {
    await flush();
    var copy = new_show(state.show.name + ' (copy)');
    copy.doc = JSON.parse(JSON.stringify(doc()));
    copy.labels = Object.assign({}, state.show.labels);
    copy.files = new Map(state.show.files);
    await add_show(copy);
    shows_message('Now editing the copy; the original stays in the list.', 'done');
  }

  async function on_delete() {
    if (!confirm('Delete "' + state.show.name + '" from this browser? This cannot be undone.'))
      return;
    await flush();
    var gone = state.show.id;
    await show_store.remove(gone).catch(function() {});
    var shows = await show_store.list().catch(function() { return []; });
    var next = shows.find(function(s) { return s.id !== gone; });
    if (next) {
      try {
        await switch_to(await show_store.load(next.id));
        return;
      } catch (e) { /* a damaged one: start afresh */ }
    }
    await add_show(new_show('My show'));
  }

  // --- .vexa files ----------------------------------------------------------------------

  function file_stem(name) {
    return (name.replace(/[^\p{L}\p{N} _-]+/gu, ' ').trim().replace(/\s+/g, '-') || 'show').slice(0, 60);
  }

  function save_vexa() {
    var entries = [{ name: 'show.vexa.json', bytes: new TextEncoder().encode(JSON.stringify(doc(), null, 2) + '\n') }];
    state.show.files.forEach(function(bytes, name) { entries.push({ name: name, bytes: bytes }); });
    var name = file_stem(state.show.name) + '.vexa';
    download(zip_store(entries, new Date()), name);
    shows_message('Saved as ' + name + ' (in your downloads).', 'done');
    return name;
  }

  // A .vexa file becomes a new show in the list; a bad one changes nothing.
  async function open_vexa(file) {
    var refuse = function(why) { shows_message(file.name + ': ' + why + '. Nothing was opened.'); return null; };
    if (file.size > limits.vexa)
      return refuse('a file of ' + Math.round(file.size / 1048576) + ' MB, larger than a show can be (64 MB)');
    var files;
    try {
      files = await zip_read(new Uint8Array(await file.arrayBuffer()));
    } catch (e) {
      return refuse(e && e.message || String(e));
    }
    var text = files.get('show.vexa.json');
    if (!text)
      return refuse('it holds no show.vexa.json, so it is not a vexa show');
    if (text.length > limits.json)
      return refuse('its show.vexa.json is larger than 1 MB');
    var d;
    try {
      d = JSON.parse(new TextDecoder('utf-8', { fatal: true }).decode(text));
    } catch (e) {
      return refuse('its show.vexa.json is not readable JSON text');
    }
    var why = check_document(d);
    if (why)
      return refuse(why);
    var named = [d.photo && d.photo.file, d.sound && d.sound.music].filter(Boolean);
    for (var i = 0; i < named.length; ++i)
      if (!files.has(named[i]))
        return refuse('it names ' + named[i] + ' but does not hold it');
    await flush();
    var show = new_show(file.name.replace(/\.vexa$/i, '').slice(0, 80) || show_name_for(d));
    show.doc = d;
    named.forEach(function(n) { show.files.set(n, files.get(n)); });
    if (typeof d.seed !== 'number')
      d.seed = state.seed;
    await add_show(show);
    shows_message('Opened ' + file.name + '.', 'done');
    return show.id;
  }

  // --- a link in the address -----------------------------------------------------------------

  // The address's show values as a show of their own (once per address).
  async function take_address(only_fragment) {
    var found = read_address(only_fragment);
    if (!['title', 'subtitle', 'lines', 'seed', 'aspect'].some(function(k) { return found[k] !== undefined; }))
      return false;
    var address = only_fragment ? location.hash : location.search + location.hash;
    if (state.show && state.show.link === address)
      return false;
    await flush();
    var show = new_show(show_name_for(found) === 'My show' ? 'Show from a link' : show_name_for(found));
    show.link = address;
    ['title', 'subtitle', 'lines', 'aspect'].forEach(function(k) {
      if (found[k] !== undefined)
        show.doc[k] = found[k];
    });
    show.doc.seed = found.seed !== undefined ? found.seed : state.seed;
    if (state.query_photo !== undefined)  // the address's ?photo switch, as for a kept show
      show.doc.photo = { show: state.query_photo };
    await add_show(show);
    return true;
  }

  // --- the player ---------------------------------------------------------------------

  function aspect() {
    var player = $('player');
    var named = /^([0-9]+):([0-9]+)$/.exec($('aspect').value);
    return named ? [Number(named[1]), Number(named[2])] :
           [Math.max(player.clientWidth, 1), Math.max(player.clientHeight, 1)];
  }

  // The canvas: the largest box of the chosen aspect inside the player.
  function fit_player() {
    var player = $('player'), a = aspect();
    var w = player.clientWidth, h = player.clientHeight;
    if (w * a[1] > h * a[0])
      w = Math.round(h * a[0] / a[1]);
    else
      h = Math.round(w * a[1] / a[0]);
    Module.canvas.style.width = w + 'px';
    Module.canvas.style.height = h + 'px';
    window.dispatchEvent(new Event('resize'));  // the show redraws at the new size
  }

  function download(blob, name) {
    var a = document.createElement('a');
    a.href = URL.createObjectURL(blob);
    a.download = name;
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(function() { URL.revokeObjectURL(a.href); }, 60000);
  }

  // The artwork of the show's words and photo, made afresh, as a zip of
  // tex/ and its twelve files. Nothing is downloaded when refused.
  function download_art() {
    var result = make_art();
    if (!result || !result.ok)
      return null;
    var files = result.images.map(function(image) { return { name: 'tex/' + image.name, bytes: image.bytes }; });
    download(zip_store(files, new Date()), 'vexa-artwork.zip');
    field_message('', 'Downloaded vexa-artwork.zip: unzip it into a folder, then play it with vexa and that folder.');
    $('words-message').lastChild.className = 'done';
    return 'vexa-artwork.zip';
  }

  function export_size() {
    // The window's shape is kept between 9:16 and 16:9, the shapes encoders take at 1080 lines.
    var a = aspect(), lines = Number($('size').value);
    a = a[0] * 16 < a[1] * 9 ? [9, 16] : a[0] * 9 > a[1] * 16 ? [16, 9] : a;
    var w = a[0] >= a[1] ? Math.round(lines * a[0] / a[1]) : lines, h = a[0] >= a[1] ? lines : Math.round(lines * a[1] / a[0]);
    return [w + (w & 1), h + (h & 1)];
  }

  function seconds(ms) {
    return ms < 60000 ? Math.ceil(ms / 1000) + ' s' : Math.floor(ms / 60000) + ' min ' + Math.ceil(ms % 60000 / 1000) + ' s';
  }


  // Where the phases of differing frame cost begin, in show time: the
  // leader, the closing up to the throw of the strips, the throw and fade
  // (the closing's offsets scale below 7 s; above it the throw is 3 s
  // before its end).
  function phase_times() {
    var lead = Module._web_closing_start(), t = doc().timing || {};
    var closing = typeof t.closing_ms === 'number' ? t.closing_ms : 7000;
    return [0, lead, lead + (closing <= 7000 ? Math.round(4000 * closing / 7000) : closing - 3000)];
  }

  // Exports and downloads; resolves to the file's name, or null when cancelled.
  async function export_video(options) {
    $('studio-form').disabled = true;
    $('export').hidden = true;
    $('cancel').hidden = false;
    $('progress').hidden = false;
    $('progress').value = 0;
    $('export-status').textContent = 'Starting...';
    var started = performance.now(), last = started, shown = 0, frame_ms = [];
    var total = vexa_export.frame_count(options.from, options.to, options.rate);
    // The phases as frames of this video: the leader, the closing to the throw, the throw and fade.
    var bounds = phase_times(), starts = [], weights = [];
    bounds.forEach(function(at, p) {
      var k = 0;
      while (k < total && vexa_export.frame_time(options.from, k, options.rate) < at)
        ++k;
      var end = p + 1 < bounds.length ? bounds[p + 1] : Infinity;
      if (k < total && vexa_export.frame_time(options.from, k, options.rate) < end) {
        starts.push(starts.length ? k : 0);
        weights.push(time_left.weights[p]);
      }
    });
    state.job = vexa_export.start(options, function(done, all) {
      var now = performance.now();
      frame_ms.push(now - last);
      last = now;
      $('progress').value = done / all;
      if (now - shown > 250 || done === all) {
        shown = now;
        var left = time_left(frame_ms, starts, all, weights);
        $('export-status').textContent = 'Frame ' + done + ' of ' + all +
          (done >= 8 ? ', about ' + seconds(left) + ' left' : ', working out the time left');
      }
    });
    try {
      var file = await state.job.done;
      if (!file) {
        $('export-status').textContent = 'Cancelled: nothing was downloaded.';
        return null;
      }
      download(file.blob, file.name);
      state.video = file;
      $('share').disabled = false;
      $('export-status').textContent = 'Downloaded ' + file.name + ' (' + (file.blob.size / 1048576).toFixed(1) +
                                       ' MB, ' + seconds(performance.now() - started) + ').';
      return file.name;
    } catch (e) {
      $('export-status').textContent = 'The video could not be made: ' + (e && e.message || e);
      throw e;
    } finally {
      state.job = null;
      $('studio-form').disabled = false;
      $('export').hidden = false;
      $('cancel').hidden = true;
      $('progress').hidden = true;
    }
  }

  function on_export() {
    if (!check_ranges()) {
      $('export-status').textContent = 'No video was made: a timing value is out of range (see Timing).';
      return;
    }
    if (Module.art_make && !artwork_current()) {  // the video shows the form's words and photo
      var result = make_art();
      if (!result.ok) {
        $('export-status').textContent = 'No video was made: the words or the photo were refused (see beside them).';
        return;
      }
    }
    var span = spans()[$('span').value], size = export_size(), sound = doc().sound || {};
    var music = vexa_music.bed(sound, Module._web_show_end());
    if (sound.music && !music) {  // never a video without the music asked for
      $('export-status').textContent = 'No video was made: the music is not read yet, or this browser cannot ' +
                                       'play it (see Music).';
      return;
    }
    export_video({ from: span[0], to: span[1], rate: rates[$('rate').value], width: size[0], height: size[1],
                   pop: !!sound.pop, music: music,
                   container: state.aac ? undefined : $('container').value }).catch(function() {});
  }

  async function on_share() {
    var file = state.video;
    if (!file)
      return;
    var shared = new File([file.blob], file.name, { type: file.blob.type });
    if (navigator.canShare && navigator.canShare({ files: [shared] })) {
      try {
        await navigator.share({ files: [shared], title: state.show.name });
        $('export-status').textContent = 'Shared ' + file.name + '.';
      } catch (e) {
        if (e && e.name !== 'AbortError')
          $('export-status').textContent = 'The video could not be shared (' + (e.message || e) + ').';
      }
      return;
    }
    download(file.blob, file.name);
    $('export-status').textContent = 'This browser cannot hand a video to other apps: ' + file.name +
                                     ' was downloaded again, to share from your files.';
  }

  // --- files picked ----------------------------------------------------------------------

  function extension(name, fallback) {
    var m = /\.([A-Za-z0-9]{1,5})$/.exec(name);
    return m ? m[1].toLowerCase() : fallback;
  }

  // A photo picked or dropped becomes the backdrop; one refused leaves the
  // one before it in place.
  function pick_photo(file) {
    if (!file)
      return;
    $('photo-message').textContent = '';
    if (!/^image\/(png|jpeg)$/.test(file.type) && !/\.(png|jpe?g)$/i.test(file.name)) {
      $('photo-message').textContent = file.name + ': not a PNG or JPEG image';
      $('photo-file').value = '';
      return;
    }
    if (file.size > limits.photo) {
      $('photo-message').textContent = file.name + ': a photo of ' + Math.round(file.size / 1048576) +
        ' MB is more than this page takes (50 MB); the photo before it stays';
      $('photo-file').value = '';
      return;
    }
    file.arrayBuffer().then(function(buffer) {
      var d = doc(), before = { photo: d.photo ? Object.assign({}, d.photo) : undefined,
                                files: new Map(state.show.files), labels: Object.assign({}, state.show.labels) };
      var name = 'photo.' + extension(file.name, 'jpg');
      if (d.photo && d.photo.file)
        state.show.files.delete(d.photo.file);
      state.show.files.set(name, new Uint8Array(buffer));
      state.show.labels[name] = file.name;
      d.photo = Object.assign(d.photo || {}, { file: name, show: true });
      $('photo-on').checked = true;
      $('photo-name').textContent = file.name;
      var result = make_art();
      if (result && !result.ok && /^photo/.test(result.notes[result.notes.length - 1].field)) {
        d.photo = before.photo;
        if (!d.photo)
          delete d.photo;
        state.show.files = before.files;
        state.show.labels = before.labels;
        doc_to_form();
        $('photo-file').value = '';
        var refusal = $('photo-message').textContent;
        reload();
        $('photo-message').textContent = refusal;
        return;
      }
      state.changed.add(name);
      changed();
    }, function(e) {
      $('photo-message').textContent = file.name + ': could not be read (' + (e && e.message || e) + ')';
      $('photo-file').value = '';
    });
  }

  function pick_music(file) {
    if (!file)
      return;
    $('music-message').textContent = '';
    if (file.size > limits.music) {
      $('music-message').textContent = file.name + ': ' + Math.round(file.size / 1048576) +
        ' MB is more than this page takes for music (100 MB); the music before it stays';
      $('music-file').value = '';
      return;
    }
    if (file.type && !/^audio\//.test(file.type) && !/\.(mp3|m4a|aac|ogg|oga|opus|wav|flac|webm)$/i.test(file.name)) {
      $('music-message').textContent = file.name + ': not a sound file; the music before it stays';
      $('music-file').value = '';
      return;
    }
    var bytes;
    file.arrayBuffer().then(function(buffer) {
      bytes = new Uint8Array(buffer);
      return vexa_music.use(bytes).catch(function(e) {
        var refusal = new Error(file.name + ': not a sound file this browser can play (' +
                                (e && e.message || e) + '); the music before it stays');
        throw refusal;
      });
    }).then(function() {
      var d = doc(), sound = d.sound || {};
      if (sound.music)
        state.show.files.delete(sound.music);
      var name = 'music.' + extension(file.name, 'mp3');
      state.show.files.set(name, bytes);
      state.show.labels[name] = file.name;
      sound.music = name;
      d.sound = sound;
      $('music-name').textContent = file.name;
      state.changed.add(name);
      changed();
      music_timing();
    }, function(e) {
      $('music-message').textContent = /the music before it stays/.test(e && e.message) ? e.message :
        file.name + ': could not be read (' + (e && e.message || e) + ')';
      $('music-file').value = '';
    });
  }

  // The show's music file decoded for the preview and the video (music.js);
  // a show ending with its music takes its length.
  function load_music() {
    var s = doc().sound || {}, bytes = s.music && state.show.files.get(s.music);
    var show = state.show;
    return vexa_music.use(bytes || null).then(function() {
      if (state.show === show)
        music_timing();
    }, function(e) {
      if (state.show === show)
        $('music-message').textContent = (state.show.labels[s.music] || s.music) + ': not a sound file this ' +
                                         'browser can play (' + (e && e.message || e) + ')';
    });
  }

  function music_timing() {
    var s = doc().sound || {};
    if (s.music && vexa_music.length_ms(s.music_start_ms) === 0)
      $('music-message').textContent = (state.show.labels[s.music] || s.music) + ': ends at ' +
        (vexa_music.length_ms(0) / 1000).toFixed(1) + ' s, before the music\'s start at ' +
        (s.music_start_ms / 1000).toFixed(1) + ' s';
    else if (/before the music's start/.test($('music-message').textContent))
      $('music-message').textContent = '';
    if ((doc().timing || {}).closing_ms === 'music' && !artwork_current())
      make_art();
  }

  function pick_credits(file) {
    if (!file)
      return;
    $('credits-message').textContent = '';
    if (file.size > limits.credits) {
      $('credits-message').textContent = file.name + ': larger than 1 MB, more than 500 credits can take';
      return;
    }
    file.arrayBuffer().then(function(buffer) {
      var text;
      try {
        text = new TextDecoder('utf-8', { fatal: true }).decode(buffer);
      } catch (e) {
        $('credits-message').textContent = file.name + ': not UTF-8 text; save it as UTF-8 and try again';
        return;
      }
      var credits = read_credits(text, /\.csv$/i.test(file.name) || file.type === 'text/csv');
      if (credits.length > max_credits) {
        $('credits-message').textContent = file.name + ': ' + credits.length + ' credits, at most ' + max_credits;
        return;
      }
      $('credits').value = credits_text(credits);
      form_to_doc();
      changed();
    });
  }

  // --- the preview's controls follow the show ------------------------------------------------

  function tick() {
    if (Module.calledRun) {  // the exports' wrappers exist before the module is ready to run them
      var ended = Module._web_state() === 2;
      $('scrub').max = Module._web_show_end() - 1;  // the show's length, whatever its timing
      if (!$('scrub').matches(':active'))
        $('scrub').value = Module._web_time();
      $('time').textContent = (Module._web_time() / 1000).toFixed(1) + ' s';
      $('play').textContent = !ended && !Module._web_paused() ? 'Pause' : 'Play';
      $('again').hidden = !ended || !!state.job;
      var sound = doc().sound || {};
      $('sound-format').hidden = state.aac !== false || !(sound.music || sound.pop);
      vexa_music.follow(Module._web_time(), Module._web_state() === 1 && !Module._web_paused() && !state.job,
                        doc().sound, Module._web_show_end());
      if (Module._web_frames() > 0 || ended)
        $('loading').hidden = true;
    }
    if ($('notice').textContent)
      $('loading').hidden = true;
    requestAnimationFrame(tick);
  }

  // The photo's focus: in focus mode a tap or click on the picture picks the
  // point of the photo kept in view (and does not pause the show). Listening
  // on the window ahead of the show's own listeners (registered later).
  function on_focus_pick(event) {
    if (!$('focus-pick').checked || event.target !== Module.canvas)
      return;
    event.preventDefault();
    event.stopImmediatePropagation();
    if (event.type !== 'pointerdown')
      return;
    var r = Module.canvas.getBoundingClientRect();
    var x = Math.min(Math.max((event.clientX - r.left) / r.width, 0), 1);
    var y = Math.min(Math.max((event.clientY - r.top) / r.height, 0), 1);
    var d = doc();
    d.photo = Object.assign(d.photo || {}, { focus: [Math.round(x * 1000) / 1000, Math.round(y * 1000) / 1000] });
    $('focus-pick').checked = false;
    show_focus();
    changed();
  }
  ['pointerdown', 'mousedown', 'mouseup', 'click', 'touchstart', 'touchend'].forEach(function(type) {
    window.addEventListener(type, on_focus_pick, { capture: true, passive: false });
  });

  // --- start ----------------------------------------------------------------------

  async function restore() {
    state.kept = await show_store.open();
    if (!state.kept) {
      shows_message('This browser keeps nothing for this page (private browsing, or storage turned off): ' +
                    'use Save show to keep your show as a file.');
      return new_show('My show');
    }
    try {
      var id = await show_store.current();
      if (id)
        return await show_store.load(id);
    } catch (e) {
      shows_message('Your last show could not be read back (' + (e && e.message || e) + '); a new show was ' +
                    'started. Your other shows are in the list.');
    }
    return new_show('My show');
  }

  async function start() {
    state.seed = Module._web_seed() >>> 0;
    state.loaded = JSON.stringify([0, /(^|[?&])photo(=(1|true|yes|on)?)?(&|$)/i.test(location.search), state.seed]);
    var show = await restore();
    var query_seed = /(^|[?&])seed=/.test(location.search), query_photo = /(^|[?&])photo(=|&|$)/.test(location.search);
    if (typeof show.doc.seed !== 'number' || query_seed)
      show.doc.seed = state.seed;
    if (query_photo) {
      state.query_photo = /(^|[?&])photo(=(1|true|yes|on)?)?(&|$)/i.test(location.search);
      show.doc.photo = show.doc.photo || {};
      show.doc.photo.show = state.query_photo;
    }
    state.show = show;
    if (!(await take_address(false)))
      await switch_to(show);
    Module._web_start_time();  // the address's t=, against the show as its document has it

    var why = Module.ctx ? vexa_export.unavailable() : 'Video export draws with WebGL, which this browser lacks.';
    vexa_export.aac().then(function(aac) { state.aac = aac; });
    $('export').disabled = !!why;
    $('export-status').textContent = why || '';
    $('studio-form').disabled = false;
    $('copy-link').disabled = false;
    if (matchMedia('(prefers-reduced-motion: reduce)').matches && Module._web_still)
      Module._web_still(1);

    $('words').addEventListener('submit', function(e) { e.preventDefault(); make_art(); });
    $('words').addEventListener('input', function(e) {
      if (e.target.type === 'file' || e.target.id === 'seed')
        return;
      if (e.target.id === 'look-text') {
        style_to_form();
        return;
      }
      form_to_doc();
      changed();
      if (['title', 'subtitle', 'lines', 'credits'].indexOf(e.target.id) >= 0)
        remake_soon();
    });
    $('words').addEventListener('change', function(e) {
      if (e.target.type === 'file' || e.target.id === 'seed' || e.target.id === 'focus-pick')
        return;
      if (e.target.id === 'look-text')
        return style_to_form();
      form_to_doc();
      changed();
      if (/-off$/.test(e.target.id))
        make_art();
      // The preview follows the show's timing: the artwork (and the document) made again.
      if (/^(count-(from|to|ms)|card|timing-leader|closing-ms)$/.test(e.target.id) && !artwork_current())
        make_art();
      if (e.target.id === 'photo-on')
        reload();
      if (e.target.id === 'aspect')
        fit_player();
      if (e.target.id === 'closing-music' || e.target.id === 'music-start')
        music_timing();
    });
    $('download-art').addEventListener('click', download_art);
    $('photo-file').addEventListener('change', function() { pick_photo(this.files[0]); });
    $('music-file').addEventListener('change', function() { pick_music(this.files[0]); });
    $('credits-file').addEventListener('change', function() { pick_credits(this.files[0]); });
    $('music-remove').addEventListener('click', function() {
      var sound = doc().sound || {};
      if (sound.music)
        state.show.files.delete(sound.music);
      delete sound.music;
      vexa_music.use(null);
      music_timing();
      $('music-name').textContent = '';
      $('music-file').value = '';
      changed();
    });
    document.addEventListener('dragover', function(e) { e.preventDefault(); });
    document.addEventListener('drop', function(e) {
      e.preventDefault();
      var file = e.dataTransfer.files[0];
      if (state.job || !file)
        return;
      if (/\.vexa$/i.test(file.name))
        open_vexa(file);
      else if (/^audio\//.test(file.type))
        pick_music(file);
      else
        pick_photo(file);
    });
    $('seed').addEventListener('change', function() {
      var v = $('seed').value.trim();
      $('seed-message').textContent = '';
      if (!/^[0-9]{1,10}$/.test(v) || Number(v) > 4294967295) {
        $('seed-message').textContent = v.slice(0, 40) + ': not a strips\' number (0 to 4294967295)';
        return;
      }
      state.seed = Number(v);
      form_to_doc();
      changed();
      reload();
    });
    $('shuffle').addEventListener('click', function() {
      state.seed = crypto.getRandomValues(new Uint32Array(1))[0];
      $('seed').value = state.seed;
      form_to_doc();
      changed();
      reload();
    });
    $('show-list').addEventListener('change', on_pick_show);
    $('show-new').addEventListener('click', on_new);
    $('show-rename').addEventListener('click', on_rename);
    $('show-duplicate').addEventListener('click', on_duplicate);
    $('show-delete').addEventListener('click', on_delete);
    $('save-show').addEventListener('click', save_vexa);
    $('open-show').addEventListener('click', function() { $('open-file').click(); });
    $('open-file').addEventListener('change', function() {
      if (this.files[0])
        open_vexa(this.files[0]).finally(function() { $('open-file').value = ''; });
    });
    $('play').addEventListener('click', function() { Module._web_tap(); });
    $('again').addEventListener('click', function() { Module._web_tap(); });
    $('scrub').addEventListener('input', function() { Module._web_seek(Number(this.value)); });
    $('fullscreen').addEventListener('click', function() { $('player').requestFullscreen().catch(function() {}); });
    $('export').addEventListener('click', on_export);
    $('share').addEventListener('click', on_share);
    $('cancel').addEventListener('click', function() {
      if (state.job) {
        state.job.cancel();
        $('export-status').textContent = 'Cancelling...';
      }
    });
    $('copy-link').addEventListener('click', function() {
      var address = link();
      $('link').value = address;
      $('link').hidden = false;
      var local = location.protocol === 'file:';
      var why = local ? 'This page is opened from a file on this device, so the link opens the show only here. ' +
                        'To share it, put vexa.html on a web server (an https address) and copy the link there. ' : '';
      $('link-status').textContent = why;
      if (navigator.clipboard)
        navigator.clipboard.writeText(address).then(function() {
          $('link-status').textContent = why + 'Link copied.';
        }, function() {
          $('link-status').textContent = why + 'Copy the link from the field.';
        });
    });
    window.addEventListener('hashchange', function() {
      if (!state.job)
        take_address(true);
    });
    window.addEventListener('pagehide', function() { save_now(); });
    document.addEventListener('visibilitychange', function() {
      if (document.visibilityState === 'hidden')
        save_now();
    });
    new ResizeObserver(fit_player).observe($('player'));
    fit_player();
    requestAnimationFrame(tick);
    serve_as_app();
  }

  // Served (not opened from disk): the page is an app to install, working
  // offline through its service worker (the build puts both beside it).
  function serve_as_app() {
    if (!/^https?:$/.test(location.protocol) || !window.isSecureContext)
      return;
    var manifest = document.createElement('link');
    manifest.rel = 'manifest';
    manifest.href = 'vexa.webmanifest';
    document.head.appendChild(manifest);
    if (navigator.serviceWorker)
      navigator.serviceWorker.register('vexa-sw.js').catch(function(e) {
        console.log('vexa: works online only (' + (e && e.message || e) + ')');
      });
  }

  function start_safely() {
    return start().catch(function(e) {
      Module.notice('vexa: the studio could not start: ' + (e && e.message || e));
    });
  }

  return { start: start_safely, export_video: export_video, download_art: download_art, link: link, flush: flush,
           save_vexa: save_vexa, open_vexa: open_vexa, check_document: check_document,
           document: function() { return doc(); } };
})();
