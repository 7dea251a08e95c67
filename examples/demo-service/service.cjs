'use strict';
// A stand-in for the real service: a tiny web server on 127.0.0.1:8080 with a listener page ("/"),
// an admin page ("/admin"), a page that shows the listener address ("/admin/qr-code") and a health
// answer ("/health") by which control-app.cjs recognises it. A listener is an open connection to
// "/events", which the listener page keeps open.

const http = require('node:http');

const HOST = '127.0.0.1';
const PORT = 8080;
const SERVICE = 'quorvel-demo';
const startedAt = new Date();
const listeners = new Set();

function log(message) {
    process.stdout.write(`${new Date().toISOString()} ${message}\n`);
}

function escapeHtml(text) {
    return String(text).replace(/[&<>"']/g, (c) => `&#${c.charCodeAt(0)};`);
}

function page(title, body) {
    return `<!doctype html>
<html lang="en"><head><meta charset="utf-8"><title>${escapeHtml(title)}</title>
<style>
body { font: 16px/1.5 system-ui, sans-serif; margin: 3em auto; max-width: 40em; color: #1b1f24; }
h1 { color: #0B3D91; } code, .address { font-family: ui-monospace, monospace; }
.address { font-size: 2em; padding: .5em 1em; border: 3px solid #1F6FEB; border-radius: .4em;
           display: inline-block; }
</style></head><body>${body}</body></html>
`;
}

const listenerAddress = `http://${HOST}:${PORT}/`;

const routes = {
    '/': () =>
        page(
            'QUORVEL Connect listener',
            `<h1>QUORVEL Connect</h1><p>You are connected as a listener.
<span id="count"></span></p>
<script>
const source = new EventSource('/events');
source.onmessage = (e) => { document.getElementById('count').textContent =
    e.data + ' listener(s) connected.'; };
</script>`,
        ),
    '/admin': () =>
        page(
            'QUORVEL Connect admin',
            `<h1>QUORVEL Connect · Admin</h1>
<p>The demo service runs (pid ${process.pid}) since ${escapeHtml(startedAt.toISOString())}.</p>
<p>Connected listeners: <strong>${listeners.size}</strong></p>
<p><a href="/admin/qr-code">Show the listener address</a></p>`,
        ),
    '/admin/qr-code': () =>
        page(
            'QUORVEL Connect listener address',
            `<h1>Listeners join here</h1><p class="address">${escapeHtml(listenerAddress)}</p>
<p>Open this address on a phone or laptop on the same machine to join as a listener.</p>`,
        ),
};

function broadcastCount() {
    for (const response of listeners) {
        response.write(`data: ${listeners.size}\n\n`);
    }
}

const server = http.createServer((request, response) => {
    const path = new URL(request.url, listenerAddress).pathname;
    if (path === '/health') {
        response.writeHead(200, { 'content-type': 'application/json' });
        response.end(JSON.stringify({ service: SERVICE, pid: process.pid, listeners: listeners.size }));
        return;
    }
    if (path === '/events') {
        response.writeHead(200, {
            'content-type': 'text/event-stream',
            'cache-control': 'no-cache',
            connection: 'keep-alive',
        });
        listeners.add(response);
        log(`listener joined (${listeners.size})`);
        broadcastCount();
        request.on('close', () => {
            listeners.delete(response);
            log(`listener left (${listeners.size})`);
            broadcastCount();
        });
        return;
    }
    const route = routes[path];
    if (route === undefined) {
        response.writeHead(404, { 'content-type': 'text/plain' });
        response.end('Not found\n');
        return;
    }
    response.writeHead(200, { 'content-type': 'text/html; charset=utf-8' });
    response.end(route());
});

server.on('error', (error) => {
    log(`cannot serve on ${HOST}:${PORT}: ${error.message}`);
    process.exit(1);
});

server.listen(PORT, HOST, () => log(`serving ${listenerAddress} (pid ${process.pid})`));

function shutDown(signal) {
    log(`stopping on ${signal}`);
    for (const response of listeners) {
        response.end();
    }
    server.close(() => process.exit(0));
    setTimeout(() => process.exit(0), 1000).unref();
}
process.on('SIGTERM', () => shutDown('SIGTERM'));
process.on('SIGINT', () => shutDown('SIGINT'));
