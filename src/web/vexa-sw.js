// vexa-sw.js - the page's service worker, for serving vexa.html over https
// or localhost: the page, its manifest and icon are kept in the browser's
// cache, so the installed app opens and works offline. Each request goes to
// the network first (a new page arrives as soon as it is served) and falls
// back to the cache when there is none. Registered by studio.js only when
// the page is served, never from disk.
'use strict';
var cache_name = 'vexa-v1';
var files = ['vexa.html', 'vexa.webmanifest', 'vexa-icon.svg'];

self.addEventListener('install', function(event) {
  event.waitUntil(caches.open(cache_name).then(function(cache) { return cache.addAll(files); })
    .then(function() { return self.skipWaiting(); }));
});

self.addEventListener('activate', function(event) {
  event.waitUntil(caches.keys().then(function(names) {
    return Promise.all(names.filter(function(n) { return n !== cache_name; }).map(function(n) {
      return caches.delete(n);
    }));
  }).then(function() { return self.clients.claim(); }));
});

self.addEventListener('fetch', function(event) {
  if (event.request.method !== 'GET')
    return;
  event.respondWith(fetch(event.request).then(function(response) {
    if (response.ok && new URL(event.request.url).origin === location.origin) {
      var copy = response.clone();
      caches.open(cache_name).then(function(cache) { cache.put(event.request, copy); });
    }
    return response;
  }, function() {
    return caches.match(event.request, { ignoreSearch: true });
  }));
});
