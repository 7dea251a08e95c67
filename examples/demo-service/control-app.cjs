'use strict';
// The demo service's control script: run once with one verb ("status", "start", "stop", "auto-on",
// "auto-off"), it prints exactly one JSON object with the service's status on standard output.
// Failures are replies too: {"ok": false, "error": "..."} with the status keys beside them.
//
// Its state lives beside it: the service's pid file and the automatic-start flag in ".demo/", the
// service's log in "logs/service.log". The flag is only a demo setting; no login item is touched.

const fs = require('node:fs');
const http = require('node:http');
const net = require('node:net');
const path = require('node:path');
const { execFileSync, spawn } = require('node:child_process');

const HOST = '127.0.0.1';
const PORT = 8080;
const SERVICE = 'quorvel-demo';
const START_WAIT_MS = 5000;
const STOP_WAIT_MS = 3000;

const baseDir = __dirname;
const serviceScript = path.join(baseDir, 'service.cjs');
const stateDir = path.join(baseDir, '.demo');
const pidFile = path.join(stateDir, 'service.pid');
const automaticFile = path.join(stateDir, 'automatic');
const logsDir = path.join(baseDir, 'logs');

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

function readPid() {
    try {
        const pid = Number.parseInt(fs.readFileSync(pidFile, 'utf8').trim(), 10);
        return Number.isInteger(pid) && pid > 1 ? pid : null;
    } catch {
        return null;
    }
}

// True when `pid` is alive and is our service.cjs, not some process that reused the number.
function isOurService(pid) {
    if (pid === null) return false;
    try {
        const commandLine = fs.readFileSync(`/proc/${pid}/cmdline`, 'utf8').split('\0');
        return commandLine.includes(serviceScript);
    } catch {
        // No /proc (macOS): ask ps for the command line instead.
    }
    try {
        const command = execFileSync('ps', ['-o', 'command=', '-p', String(pid)], {
            encoding: 'utf8',
            stdio: ['ignore', 'pipe', 'ignore'],
        });
        return command.trim().endsWith(serviceScript);
    } catch {
        return false;
    }
}

function ourPid() {
    const pid = readPid();
    return isOurService(pid) ? pid : null;
}

// What answers on the port: our service's health reply, something else, or nothing.
function probePort() {
    return new Promise((resolve) => {
        const request = http.get(
            { host: HOST, port: PORT, path: '/health', timeout: 1000 },
            (response) => {
                let body = '';
                response.setEncoding('utf8');
                response.on('data', (chunk) => {
                    if (body.length < 4096) body += chunk;
                });
                response.on('end', () => {
                    try {
                        const health = JSON.parse(body);
                        if (health && health.service === SERVICE) {
                            resolve({ kind: 'ours', pid: health.pid, listeners: health.listeners });
                            return;
                        }
                    } catch {
                        // not our JSON: someone else's server
                    }
                    resolve({ kind: 'other' });
                });
            },
        );
        request.on('timeout', () => request.destroy(new Error('timeout')));
        request.on('error', () => {
            // Nothing speaks HTTP there; is the port held at all?
            const socket = net.connect({ host: HOST, port: PORT });
            socket.setTimeout(500);
            socket.on('connect', () => {
                socket.destroy();
                resolve({ kind: 'other' });
            });
            socket.on('timeout', () => {
                socket.destroy();
                resolve({ kind: 'other' });
            });
            socket.on('error', () => resolve({ kind: 'none' }));
        });
    });
}

async function status() {
    const pid = ourPid();
    const probe = await probePort();
    const answers = pid !== null && probe.kind === 'ours' && probe.pid === pid;
    const foreign = probe.kind === 'other' || (probe.kind === 'ours' && probe.pid !== pid);
    const automatic = fs.existsSync(automaticFile);
    let state;
    let detail;
    if (answers) {
        state = 'Running';
        detail = `Serving http://${HOST}:${PORT}/admin (pid ${pid}).`;
    } else if (pid !== null) {
        state = 'Starting';
        detail = `The service (pid ${pid}) is not answering on ${HOST}:${PORT} yet.`;
    } else if (foreign) {
        state = 'Port in use';
        detail = `Another program is using ${HOST}:${PORT}; stop it to start the service.`;
    } else {
        state = 'Stopped';
        detail = 'The demo service is not running.';
    }
    return {
        ok: true,
        state,
        detail,
        listeners: answers ? Number(probe.listeners) || 0 : 0,
        owned: [pid !== null, answers],
        configured: true,
        foreign,
        automatic,
    };
}

async function failure(error) {
    const reply = await status().catch(() => ({}));
    return { ...reply, ok: false, error };
}

function processEnded(pid) {
    try {
        process.kill(pid, 0);
        return !isOurService(pid);
    } catch {
        return true;
    }
}

async function start() {
    const current = await status();
    if (current.owned[1]) return current;
    if (current.foreign) {
        return failure(`Port ${PORT} on ${HOST} is in use by another program.`);
    }
    if (current.owned[0]) {
        return failure('The service is already starting; try again in a moment.');
    }
    fs.mkdirSync(stateDir, { recursive: true });
    fs.mkdirSync(logsDir, { recursive: true });
    const log = fs.openSync(path.join(logsDir, 'service.log'), 'a');
    // Detached and without our standard streams: the controller's pipe closes when we exit.
    const child = spawn(process.execPath, [serviceScript], {
        cwd: baseDir,
        detached: true,
        stdio: ['ignore', log, log],
    });
    fs.closeSync(log);
    let exited = false;
    child.on('exit', () => {
        exited = true;
    });
    child.on('error', () => {
        exited = true;
    });
    child.unref();
    if (child.pid === undefined) {
        return failure('The service could not be started; see logs/service.log.');
    }
    fs.writeFileSync(pidFile, `${child.pid}\n`);
    const deadline = Date.now() + START_WAIT_MS;
    while (Date.now() < deadline) {
        const probe = await probePort();
        if (probe.kind === 'ours' && probe.pid === child.pid) return status();
        if (exited) break;
        await sleep(100);
    }
    try {
        process.kill(child.pid, 'SIGKILL');
    } catch {
        // already gone
    }
    fs.rmSync(pidFile, { force: true });
    return failure(
        exited
            ? 'The service stopped right after starting; see logs/service.log.'
            : `The service did not answer within ${START_WAIT_MS / 1000} seconds; see logs/service.log.`,
    );
}

async function stop() {
    const pid = ourPid();
    if (pid !== null) {
        process.kill(pid, 'SIGTERM');
        const deadline = Date.now() + STOP_WAIT_MS;
        while (!processEnded(pid) && Date.now() < deadline) await sleep(50);
        if (!processEnded(pid)) {
            process.kill(pid, 'SIGKILL');
            while (!processEnded(pid)) await sleep(50);
        }
    }
    fs.rmSync(pidFile, { force: true });
    return status();
}

async function setAutomatic(on) {
    fs.mkdirSync(stateDir, { recursive: true });
    if (on) fs.writeFileSync(automaticFile, 'on\n');
    else fs.rmSync(automaticFile, { force: true });
    return status();
}

const verbs = {
    status,
    start,
    stop,
    'auto-on': () => setAutomatic(true),
    'auto-off': () => setAutomatic(false),
};

async function main() {
    const verb = process.argv[2];
    const run = Object.hasOwn(verbs, verb) ? verbs[verb] : null;
    let reply;
    try {
        reply = run ? await run() : { ok: false, error: `Unknown verb "${verb ?? ''}".` };
    } catch (error) {
        reply = { ok: false, error: `The demo control script failed: ${error.message}` };
    }
    process.stdout.write(`${JSON.stringify(reply)}\n`);
}

main();
