// page_driver.mjs -- the browser build's page in headless Chromium (software
// WebGL), driven through the DevTools protocol: pages opened and reloaded,
// keys sent as the browser's own key events, screenshots as PPM pictures,
// files put into and read out of the page's file system, the console heard.
// Run with node --experimental-websocket. Every wait has a bound.
//
//   node page_driver.mjs demo URL OUT.ppm             the held demo's picture; prints "first-frame-ms N"
//   node page_driver.mjs drive URL OUT-FOLDER          before.ppm, then after.ppm with Numpad 8 held 2 s
//   node page_driver.mjs race URL DESKTOP.mlr OUT-FOLDER
//        a one-lap computer race's replay (browser.mlr), listed after a reload,
//        and the desktop's replay played in the page: prints what the page said
//   node page_driver.mjs measure URL SECONDS           frames a second of the page
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';

const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

class Page {
    constructor(socket, session) {
        this.socket = socket;
        this.session = session;
        this.next = 1;
        this.waiting = new Map();
        this.console = [];
        socket.addEventListener('message', (event) => {
            const message = JSON.parse(event.data);
            if (message.id && this.waiting.has(message.id)) {
                const { resolve, reject } = this.waiting.get(message.id);
                this.waiting.delete(message.id);
                message.error ? reject(new Error(JSON.stringify(message.error))) : resolve(message.result);
            } else if (message.method === 'Runtime.consoleAPICalled') {
                this.console.push(message.params.args.map((a) => a.value ?? a.description ?? '').join(' '));
            }
        });
    }

    send(method, params = {}, session = this.session) {
        const id = this.next++;
        this.socket.send(JSON.stringify({ id, method, params, sessionId: session }));
        return new Promise((resolve, reject) => this.waiting.set(id, { resolve, reject }));
    }

    async evaluate(expression) {
        const result = await this.send('Runtime.evaluate', { expression, returnByValue: true, awaitPromise: true });
        if (result.exceptionDetails) {
            throw new Error(`${expression}: ${JSON.stringify(result.exceptionDetails)}`);
        }
        return result.result.value;
    }

    // Polls until the expression is true (or the seconds run out: an error).
    async until(expression, seconds, what) {
        for (const end = Date.now() + seconds * 1000; Date.now() < end; await sleep(100)) {
            if (await this.evaluate(`(function() { try { return !!(${expression}); } catch (e) { return false; } })()`)) {
                return;
            }
        }
        throw new Error(`waited ${seconds} s for ${what}`);
    }

    async open(url) {
        this.console = [];
        await this.send('Page.navigate', { url });
        await this.until('typeof Module === "object" && Module.framesDrawn > 2', 120, 'the first frames');
    }

    async key(type, code, key, virtualKey) {
        await this.send('Input.dispatchKeyEvent', { type, code, key, windowsVirtualKeyCode: virtualKey, nativeVirtualKeyCode: virtualKey });
    }

    async tap(code, key, virtualKey) {
        await this.key('keyDown', code, key, virtualKey);
        await sleep(200);
        await this.key('keyUp', code, key, virtualKey);
    }

    async picture() {
        const shot = await this.send('Page.captureScreenshot', { format: 'png' });
        return decodePng(Buffer.from(shot.data, 'base64'));
    }

    // The picture once it has not changed for two seconds.
    async heldPicture(seconds) {
        let last = await this.picture();
        let since = Date.now();
        for (const end = Date.now() + seconds * 1000; Date.now() < end; await sleep(200)) {
            const now = await this.picture();
            if (!now.rgb.equals(last.rgb)) {
                last = now;
                since = Date.now();
            } else if (Date.now() - since > 2000) {
                return now;
            }
        }
        throw new Error(`the picture did not hold within ${seconds} s`);
    }
}

// A PNG of 8-bit RGB or RGBA, unfiltered into RGB rows, top row first.
function decodePng(bytes) {
    let offset = 8, width = 0, height = 0, channels = 3;
    const data = [];
    while (offset < bytes.length) {
        const length = bytes.readUInt32BE(offset), type = bytes.toString('latin1', offset + 4, offset + 8);
        const body = bytes.subarray(offset + 8, offset + 8 + length);
        if (type === 'IHDR') {
            width = body.readUInt32BE(0);
            height = body.readUInt32BE(4);
            channels = body[9] === 6 ? 4 : 3;
        } else if (type === 'IDAT') {
            data.push(body);
        }
        offset += 12 + length;
    }
    const raw = zlib.inflateSync(Buffer.concat(data));
    const stride = width * channels, rows = Buffer.alloc(stride * height), rgb = Buffer.alloc(width * height * 3);
    for (let y = 0; y < height; ++y) {
        const filter = raw[y * (stride + 1)];
        for (let x = 0; x < stride; ++x) {
            const value = raw[y * (stride + 1) + 1 + x];
            const a = x >= channels ? rows[y * stride + x - channels] : 0;
            const b = y > 0 ? rows[(y - 1) * stride + x] : 0;
            const c = x >= channels && y > 0 ? rows[(y - 1) * stride + x - channels] : 0;
            const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
            const predicted = [0, a, b, (a + b) >> 1, pa <= pb && pa <= pc ? a : pb <= pc ? b : c][filter];
            rows[y * stride + x] = (value + predicted) & 255;
        }
        for (let x = 0; x < width; ++x) {
            rows.copy(rgb, (y * width + x) * 3, y * stride + x * channels, y * stride + x * channels + 3);
        }
    }
    return { width, height, rgb };
}

function writePpm(file, picture) {
    fs.writeFileSync(file, Buffer.concat([Buffer.from(`P6\n${picture.width} ${picture.height}\n255\n`), picture.rgb]));
}

async function launch() {
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'mudlark-chromium-'));
    const chromium = spawn('chromium', ['--headless=new', '--no-sandbox', '--use-gl=angle', '--use-angle=swiftshader',
        '--enable-unsafe-swiftshader', '--window-size=1024,792', '--remote-debugging-port=0', `--user-data-dir=${profile}`,
        '--no-first-run', '--mute-audio', '--autoplay-policy=no-user-gesture-required', 'about:blank'],
        { stdio: ['ignore', 'ignore', 'pipe'] });
    const endpoint = await new Promise((resolve, reject) => {
        let said = '';
        const timer = setTimeout(() => reject(new Error(`chromium did not start: ${said}`)), 60000);
        chromium.stderr.on('data', (chunk) => {
            said += chunk;
            const found = said.match(/DevTools listening on (ws:\/\/\S+)/);
            if (found) {
                clearTimeout(timer);
                resolve(found[1]);
            }
        });
        chromium.on('exit', () => reject(new Error(`chromium ended: ${said}`)));
    });
    const socket = new WebSocket(endpoint);
    await new Promise((resolve, reject) => {
        socket.addEventListener('open', resolve);
        socket.addEventListener('error', reject);
    });
    const browser = new Page(socket, undefined);
    const { targetInfos } = await browser.send('Target.getTargets');
    const target = targetInfos.find((t) => t.type === 'page');
    const { sessionId } = await browser.send('Target.attachToTarget', { targetId: target.targetId, flatten: true });
    const page = new Page(socket, sessionId);
    page.waiting = browser.waiting; // one socket: the answers come back by id
    page.next = 1000;
    await page.send('Page.enable');
    await page.send('Runtime.enable');
    // The page exactly 1024 wide and 792 high: the canvas 1024 x 768 above the line under it.
    await page.send('Emulation.setDeviceMetricsOverride', { width: 1024, height: 792, deviceScaleFactor: 1, mobile: false });
    const close = async () => {
        chromium.kill('SIGKILL');
        await new Promise((resolve) => (chromium.exitCode !== null ? resolve() : chromium.on('exit', resolve)));
        fs.rmSync(profile, { recursive: true, force: true, maxRetries: 5, retryDelay: 200 });
    };
    return { page, close };
}

const home = '/home/web_user';
const replays = `${home}/.local/share/mudlark/replays`;

async function raceScenario(page, url, desktopReplay, out) {
    // A one-lap race: the setting kept in the page's own settings file.
    await page.open(url);
    await page.evaluate(`FS.mkdirTree('${home}/.config/mudlark');
        FS.writeFile('${home}/.config/mudlark/settings.cfg', 'laps: 1\\nresolution: 320 240 32\\nfullscreen: false\\n');
        FS.writeFile('${home}/desktop.mlr', Uint8Array.from(atob('${fs.readFileSync(desktopReplay).toString('base64')}'), (c) => c.charCodeAt(0)));
        Module.keepFiles(); true`);
    await page.until('Module.filesKept > 0', 60, 'the settings kept');
    await page.open(`${url}?demo`);
    const listed = `(function() { try { return FS.readdir('${replays}').filter((n) => n.endsWith('.mlr')); } catch (e) { return []; } })()`;
    await page.until(`${listed}.length > 0`, 400, 'the race\'s replay');
    await page.until('Module.filesKept > 0', 60, 'the replay kept');
    const name = (await page.evaluate(listed))[0];
    const bytes = await page.evaluate(`btoa(Array.from(FS.readFile('${replays}/${name}'), (b) => String.fromCharCode(b)).join(''))`);
    fs.writeFileSync(path.join(out, 'browser.mlr'), Buffer.from(bytes, 'base64'));
    // After a reload the page's memory is new: the replay comes back from IndexedDB.
    await page.open(url);
    console.log(`listed after reload: ${(await page.evaluate(listed)).join(' ')}`);
    // The desktop's replay played to its end, as fast as the replay keys go.
    await page.open(`${url}?replay=${encodeURIComponent(`${home}/desktop.mlr`)}`);
    for (let faster = 0; faster < 4; ++faster) {
        await page.tap('ArrowRight', 'ArrowRight', 39);
    }
    for (const end = Date.now() + 300000; Date.now() < end && !page.console.some((l) => l.includes('keyframes corrected')); ) {
        await sleep(200);
    }
    console.log(page.console.filter((l) => l.includes('keyframes corrected')).join('\n') || 'the desktop replay did not end');
}

async function main() {
    const [scenario, url, ...rest] = process.argv.slice(2);
    const { page, close } = await launch();
    try {
        if (scenario === 'demo') {
            const started = Date.now();
            await page.open(url);
            console.log(`first-frame-ms ${Math.round(await page.evaluate('Module.firstFrameTime'))} (page ${Date.now() - started} ms to the third frame)`);
            writePpm(rest[0], await page.heldPicture(120));
        } else if (scenario === 'drive') {
            await page.open(url);
            await sleep(1500);
            writePpm(path.join(rest[0], 'before.ppm'), await page.picture());
            await page.key('keyDown', 'Numpad8', '8', 104);
            await sleep(2000);
            writePpm(path.join(rest[0], 'after.ppm'), await page.picture());
            await page.key('keyUp', 'Numpad8', '8', 104);
        } else if (scenario === 'race') {
            await raceScenario(page, url, rest[0], rest[1]);
        } else if (scenario === 'measure') {
            await page.open(url);
            await sleep(3000);
            const before = await page.evaluate('[Module.framesDrawn, performance.now()]');
            await sleep(Number(rest[0]) * 1000);
            const after = await page.evaluate('[Module.framesDrawn, performance.now()]');
            console.log(`frames a second: ${(((after[0] - before[0]) * 1000) / (after[1] - before[1])).toFixed(1)}`);
        } else {
            throw new Error(`no scenario ${scenario}`);
        }
    } finally {
        await close();
    }
}

main().then(() => process.exit(0), (error) => {
    console.error(`page_driver: ${error.message}`);
    process.exit(1);
});
