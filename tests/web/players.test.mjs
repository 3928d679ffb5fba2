// The generated pages in real browsers: Debian's Chromium and Firefox ESR, both driven by
// Puppeteer (Chromium over CDP, Firefox over WebDriver BiDi), each running the same suite.
// Pages come from the real `tmbr button` / `tmbr jukebox`, MP3 files from sox and lame;
// local test pages are served by the program's loopback server (tmbr_webserve), online
// test pages by a plain loopback server that stands in for the web site.
//
// Environment: TMBR_EXE, TMBR_WEBSERVE, TMBRSA_APP_DIR; TMBR_WEB_SCREENSHOT_DIR (optional)
// receives pictures of both players in both browsers. Exits 77 when Puppeteer, axe-core or
// one of the browsers is missing.

import { execFileSync, spawn } from "node:child_process";
import { createReadStream, existsSync, mkdirSync, mkdtempSync, readFileSync, rmSync, statSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import { createServer } from "node:http";
import { tmpdir } from "node:os";
import { extname, join, normalize } from "node:path";
import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import { createInterface } from "node:readline";

const ENGINES = [
    { name: "chromium", browser: "chrome", executable: "/usr/bin/chromium", pkg: "chromium" },
    { name: "firefox", browser: "firefox", executable: "/usr/bin/firefox-esr", pkg: "firefox-esr" },
];
let puppeteer;
let axeSource;
try {
    puppeteer = (await import("puppeteer-core")).default;
    axeSource = readFileSync(createRequire(import.meta.url).resolve("axe-core/axe.min.js"), "utf8");
} catch {
    console.error("players.test: puppeteer-core or axe-core is missing (run npm ci in tests/web)");
    process.exit(77);
}
// TMBR_WEB_ENGINE=chromium or firefox runs one engine only.
const engines = ENGINES.filter((e) => !process.env.TMBR_WEB_ENGINE || e.name === process.env.TMBR_WEB_ENGINE);
for (const engine of engines) {
    if (!existsSync(engine.executable)) {
        console.error(`players.test: ${engine.executable} is missing (Debian package ${engine.pkg})`);
        process.exit(77);
    }
}
for (const name of ["TMBR_EXE", "TMBR_WEBSERVE", "TMBRSA_APP_DIR"]) {
    if (!process.env[name]) {
        console.error(`players.test: ${name} is not set`);
        process.exit(2);
    }
}

const work = mkdtempSync(join(tmpdir(), "tmbr-web-"));
const cache = join(work, "cache");
const scratch = join(cache, "tmbrsa", "temp") + "/";
const music = join(work, "music");
mkdirSync(music);
mkdirSync(scratch, { recursive: true });

// An MP3 of `seconds` of a sine tone.
function makeMp3(name, seconds, frequency) {
    const wave = join(work, `${name}.wav`);
    execFileSync("sox", ["-n", "-r", "44100", "-c", "1", "-b", "16", wave, "synth", String(seconds), "sine", String(frequency)]);
    execFileSync("lame", ["--quiet", "-b", "64", wave, join(music, name)]);
    rmSync(wave);
    return join(music, name);
}

// Runs tmbr with a fresh output folder; returns that folder (ending with "/").
let runs = 0;
function tmbr(args) {
    const out = join(work, `site ${++runs}`) + "/";
    mkdirSync(out);
    execFileSync(process.env.TMBR_EXE, [...args.slice(0, 1), "--out", out, ...args.slice(1)], {
        env: { ...process.env, XDG_CACHE_HOME: cache },
        stdio: ["ignore", "ignore", "inherit"],
    });
    return out;
}

// The program's loopback server over the scratch folder and `output`.
async function testServer(output) {
    const child = spawn(process.env.TMBR_WEBSERVE, [scratch, output], { stdio: ["pipe", "pipe", "inherit"] });
    const lines = createInterface({ input: child.stdout });
    const base = await new Promise((resolve, reject) => {
        lines.once("line", resolve);
        child.once("exit", (code) => reject(new Error(`tmbr_webserve exited with ${code}`)));
    });
    return {
        base,
        stop: () => new Promise((resolve) => {
            child.once("exit", resolve);
            child.stdin.end();
        }),
    };
}

const TYPES = { ".html": "text/html; charset=utf-8", ".js": "text/javascript", ".xml": "text/xml", ".mp3": "audio/mpeg" };

// A plain web site over `root` at "/", with single byte ranges. With `held`, MP3 answers
// wait until release() is called, like a slow connection.
async function siteServer(root, { held = false } = {}) {
    let release;
    const gate = held ? new Promise((resolve) => { release = resolve; }) : Promise.resolve();
    const server = createServer(async (request, response) => {
        const path = normalize(decodeURIComponent(new URL(request.url, "http://x").pathname));
        const file = join(root, path);
        if (!file.startsWith(root) || !existsSync(file) || !statSync(file).isFile()) {
            response.writeHead(404).end();
            return;
        }
        if (extname(file) === ".mp3") {
            await gate;
        }
        const size = statSync(file).size;
        const headers = { "Content-Type": TYPES[extname(file)] || "application/octet-stream", "Accept-Ranges": "bytes" };
        const range = /^bytes=(\d+)-(\d*)$/.exec(request.headers.range || "");
        if (range) {
            const first = Number(range[1]);
            const last = range[2] ? Math.min(Number(range[2]), size - 1) : size - 1;
            response.writeHead(206, { ...headers, "Content-Range": `bytes ${first}-${last}/${size}`, "Content-Length": last - first + 1 });
            createReadStream(file, { start: first, end: last }).pipe(response);
        } else {
            response.writeHead(200, { ...headers, "Content-Length": size });
            createReadStream(file).pipe(response);
        }
    });
    await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
    return {
        base: `http://127.0.0.1:${server.address().port}/`,
        release: () => release?.(),
        stop: () => new Promise((resolve) => {
            server.closeAllConnections();
            server.close(resolve);
        }),
    };
}

// A browser that lets pages start sound, or a strict one that blocks auto play and asks
// for reduced motion.
function launch(engine, autoplay) {
    const options = {
        browser: engine.browser,
        executablePath: engine.executable,
        headless: true,
        defaultViewport: { width: 800, height: 600, deviceScaleFactor: 2, hasTouch: true },
    };
    if (engine.browser === "chrome") {
        options.args = ["--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
            "--disable-component-update", "--disable-sync"];
        options.args.push(autoplay ? "--autoplay-policy=no-user-gesture-required" : "--force-prefers-reduced-motion");
    } else {
        // 0 lets pages start sound on their own, 1 blocks audible media until a click.
        options.extraPrefsFirefox = { "media.autoplay.default": autoplay ? 0 : 1, "ui.prefersReducedMotion": autoplay ? 0 : 1 };
        // Firefox reports an error for audio it cannot hand to a sound server.
        options.env = { ...process.env, PULSE_SERVER: soundServer };
    }
    return puppeteer.launch(options);
}

const TIMEOUT = { timeout: 15000 };

// Until the page's n-th audio element plays past `seconds`.
function waitForPlayback(page, seconds = 0.3, index = 0) {
    return page.waitForFunction((i, s) => {
        const audio = document.querySelectorAll("audio")[i];
        return audio && !audio.paused && audio.currentTime > s;
    }, TIMEOUT, index, seconds);
}

const audioState = (page, index = 0) => page.evaluate((i) => {
    const audio = document.querySelectorAll("audio")[i];
    return { paused: audio.paused, time: audio.currentTime, volume: audio.volume, loop: audio.loop, ended: audio.ended, src: audio.src };
}, index);

const attribute = (page, selector, name) => page.$eval(selector, (e, n) => e.getAttribute(n), name);

// The element that has the focus: its tag, accessible label and outline.
const focused = (page) => page.evaluate(() => {
    const e = document.activeElement;
    return { tag: e.tagName, label: e.getAttribute("aria-label") || e.textContent, outline: getComputedStyle(e).outlineStyle };
});

// Clicks the seek bar at `fraction` of its width; returns the second the bar stands for there.
async function clickSeekBar(page, selector, fraction) {
    const box = await (await page.$(selector)).boundingBox();
    const duration = await page.evaluate(() => document.querySelector("audio").duration);
    // The thumb's centre travels between half a thumb width from either end.
    const thumb = 10;
    const x = box.x + thumb / 2 + fraction * (box.width - thumb);
    await page.mouse.click(x, box.y + box.height / 2);
    return fraction * duration;
}

async function seriousAxeViolations(page, selector) {
    await page.evaluate(axeSource);
    return page.evaluate(async (s) => {
        const result = await window.axe.run(document.querySelector(s));
        return result.violations.filter((v) => v.impact === "serious" || v.impact === "critical")
            .map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(" ")).join(", ")}`);
    }, selector);
}

async function shoot(page, selector, name) {
    const folder = process.env.TMBR_WEB_SCREENSHOT_DIR;
    if (folder) {
        mkdirSync(folder, { recursive: true });
        await (await page.$(selector)).screenshot({ path: join(folder, name) });
    }
}

let tone;
let shortTone;
const tracks = [];
const names = ["Rock & Roll", 'Say "Hello"', "Café Ünïcode – Ω"];

const pulseDaemon = new URL("../../scripts/pulsedaemon", import.meta.url).pathname;
let soundServer;

before(() => {
    if (engines.some((e) => e.browser === "firefox")) {
        soundServer = execFileSync(pulseDaemon, ["start", join(work, "pulse")], { encoding: "utf8" }).trim();
    }
    tone = makeMp3("tone.mp3", 10, 440);
    shortTone = makeMp3("short.mp3", 1, 660);
    tracks.push(makeMp3("one.mp3", 6, 330), makeMp3("two & more.mp3", 1.2, 440), makeMp3("drei café.mp3", 1.2, 550));
});

after(() => {
    if (soundServer) {
        execFileSync(pulseDaemon, ["stop", join(work, "pulse")]);
    }
    rmSync(work, { recursive: true, force: true });
});

function jukebox(options) {
    const args = ["jukebox", "--player", "jbx_400300_chameleon", "--colour", "0x993366", ...options];
    for (const name of names) {
        args.push("--display", name);
    }
    return tmbr([...args, ...tracks]);
}

const currentName = (page) => page.$eval(".tmbr-list [aria-current] .tmbr-name", (e) => e.textContent);

// Until track `name` is the current one and plays (or, with `paused`, stands paused).
const waitForTrack = (page, name, paused = false) => page.waitForFunction((n, p) => {
    const current = document.querySelector(".tmbr-list [aria-current] .tmbr-name");
    const audio = document.querySelector("audio");
    return current && current.textContent === n && (p ? audio.paused : !audio.paused && audio.currentTime > 0.05);
}, TIMEOUT, name, paused);

// Opens `url` in a new page of `browser`, runs `body(page)`, then closes page and server.
async function visit(browser, server, path, body, prepare) {
    const page = await browser.newPage();
    try {
        await prepare?.(page);
        await page.goto(server.base + path, { waitUntil: "domcontentloaded" });
        await body(page);
    } finally {
        await page.close();
        await server.stop();
    }
}

for (const engine of engines) {
    describe(engine.name, () => {
        let browser;
        before(async () => {
            browser = await launch(engine, true);
        });
        after(async () => {
            await browser?.close();
        });

        describe("single button", () => {
            for (const [player, colourable] of [["tmbr_type04_chameleon", true], ["tmbr_type04_classic", false]]) {
                test(`${player}: the local test page shows the button at its size; a click plays, the bar seeks, a click stops`, async () => {
                    const out = tmbr(["button", "--player", player, "--mp3", tone, "--colour", "0x3366CC"]);
                    await visit(browser, await testServer(out), "do-not-upload.html", async (page) => {
                        await page.waitForSelector(".tmbr-button[aria-label='Audio player, 0:00 of 0:10']", TIMEOUT);
                        const box = await (await page.$(".tmbr-button")).boundingBox();
                        assert.deepEqual([box.width, box.height], [75, 25]);
                        const background = await page.$eval(".tmbr-button", (b) => getComputedStyle(b).backgroundColor);
                        assert.equal(background, colourable ? "rgb(51, 102, 204)" : "rgb(51, 51, 51)");
                        // Too narrow for the time: it is the tooltip instead, and the bar tells it too.
                        assert.equal(await page.$(".tmbr-button .tmbr-clock"), null);
                        assert.equal(await attribute(page, ".tmbr-button", "title"), "Audio player, 0:00 of 0:10");
                        assert.equal(await attribute(page, ".tmbr-seek", "aria-valuetext"), "0:00 of 0:10");

                        await page.click(".tmbr-toggle");
                        await waitForPlayback(page);
                        assert.equal(await attribute(page, ".tmbr-button", "data-state"), "playing");
                        assert.equal(await attribute(page, ".tmbr-toggle", "aria-label"), "Stop");
                        const target = await clickSeekBar(page, ".tmbr-seek", 0.7);
                        await page.waitForFunction((t) => Math.abs(document.querySelector("audio").currentTime - t) < 0.5, TIMEOUT, target);
                        if (colourable) {
                            await shoot(page, ".tmbr-button", `player-button-${engine.name}.png`);
                        }
                        assert.match(await attribute(page, ".tmbr-seek", "aria-valuetext"), /^0:0[67] of 0:10$/);

                        await page.click(".tmbr-toggle");
                        const audio = await audioState(page);
                        assert.equal(audio.paused, true);
                        assert.equal(audio.time, 0);
                        assert.equal(await attribute(page, ".tmbr-toggle", "aria-label"), "Play");
                    });
                });
            }

            test("a wide button shows the time; keyboard only: Tab, Space, arrows, Home, End and K, with visible focus", async () => {
                const out = tmbr(["button", "--player", "tmbr_type08_slim", "--mp3", tone]);
                await visit(browser, await siteServer(out), "onlinetest-single-button.html", async (page) => {
                    await page.waitForFunction(() => document.querySelector(".tmbr-clock")?.textContent === "0:00 / 0:10", TIMEOUT);
                    await page.keyboard.press("Tab");
                    assert.deepEqual(await focused(page), { tag: "BUTTON", label: "Play", outline: "solid" });
                    await page.keyboard.press(" ");
                    await waitForPlayback(page);
                    await page.keyboard.press("Tab");
                    assert.deepEqual(await focused(page), { tag: "INPUT", label: "Seek", outline: "solid" });
                    await page.keyboard.press("End");
                    // The end of a track that does not loop stops the button.
                    await page.waitForSelector(".tmbr-button[data-state=stopped]", TIMEOUT);
                    await page.keyboard.press("k");
                    await waitForPlayback(page, 0.1);
                    await page.keyboard.press("Home");
                    await page.keyboard.press("ArrowRight");
                    assert.ok(Math.abs((await audioState(page)).time - 5) < 0.5);
                    await page.waitForFunction(() => /^0:0[5-9] \/ 0:10$/.test(document.querySelector(".tmbr-clock").textContent), TIMEOUT);
                    await page.keyboard.press("ArrowLeft");
                    assert.ok((await audioState(page)).time < 1.5);
                    await page.keyboard.press("ArrowDown");
                    assert.equal((await audioState(page)).volume, 0.95);
                    await page.keyboard.press("k");
                    assert.equal((await audioState(page)).paused, true);
                    assert.equal(await attribute(page, ".tmbr-toggle", "aria-label"), "Play");
                    assert.deepEqual(await seriousAxeViolations(page, ".tmbr-button"), []);
                });
            });

            test("auto play starts on load and loop plays the track again", async () => {
                const out = tmbr(["button", "--player", "tmbr_type04_classic", "--mp3", shortTone, "--auto-play", "--loop"]);
                await visit(browser, await testServer(out), "do-not-upload.html", async (page) => {
                    await waitForPlayback(page, 0.6);
                    assert.equal((await audioState(page)).loop, true);
                    // Past the end of the 1 s track the time starts again and the button keeps playing.
                    await page.waitForFunction(() => document.querySelector("audio").currentTime < 0.4, TIMEOUT);
                    assert.equal(await attribute(page, ".tmbr-button", "data-state"), "playing");
                });
            });

            test("the smallest button fits its box; without auto play and loop nothing plays on load and the end of the track stops it", async () => {
                const out = tmbr(["button", "--player", "roundplay", "--mp3", shortTone]);
                await visit(browser, await testServer(out), "do-not-upload.html", async (page) => {
                    await page.waitForSelector(".tmbr-toggle[aria-label=Play]", TIMEOUT);
                    const [box, toggle, bar] = await Promise.all([".tmbr-button", ".tmbr-toggle", ".tmbr-seek"]
                        .map(async (selector) => (await page.$(selector)).boundingBox()));
                    assert.deepEqual([box.width, box.height], [68, 22]);
                    assert.ok(toggle.width >= 22 && bar.width >= 30 && bar.x + bar.width <= box.x + box.width, JSON.stringify([toggle, bar]));
                    assert.equal((await audioState(page)).paused, true);
                    await page.click(".tmbr-toggle");
                    await page.waitForFunction(() => document.querySelector("audio").ended, TIMEOUT);
                    assert.equal(await attribute(page, ".tmbr-button", "data-state"), "stopped");
                });
            });

            test("a slow file shows the buffering state until it plays; the media controls name the file", async () => {
                const out = tmbr(["button", "--player", "tmbr_type07_chameleon", "--mp3", tone]);
                const site = await siteServer(out, { held: true });
                await visit(browser, site, "onlinetest-single-button.html", async (page) => {
                    await page.waitForSelector(".tmbr-toggle[aria-label=Play]", TIMEOUT);
                    await page.click(".tmbr-toggle");
                    assert.equal(await attribute(page, ".tmbr-button", "data-state"), "buffering");
                    assert.equal(await attribute(page, ".tmbr-button", "aria-busy"), "true");
                    assert.equal(await attribute(page, ".tmbr-toggle", "aria-label"), "Stop");
                    assert.equal(await page.$eval(".tmbr-spin", (e) => getComputedStyle(e).animationName), "tmbr-spin");
                    site.release();
                    await waitForPlayback(page);
                    assert.equal(await attribute(page, ".tmbr-button", "aria-busy"), "false");
                    assert.equal(await page.evaluate(() => navigator.mediaSession.metadata.title), "tone.mp3");
                });
            });

            test("only one player of a page sounds at a time", async () => {
                const out = tmbr(["button", "--player", "tmbr_type04_classic", "--mp3", tone]);
                writeFileSync(join(out, "two.html"), `<!DOCTYPE html><html><head><script src="swfobject.js"></script></head><body>
<div id="a"></div><div id="b"></div><script>
var a = new SWFObject("p.swf", "pa", "75", "25", "6"); a.addVariable("f", "tone.mp3"); a.write("a");
var b = new SWFObject("p.swf", "pb", "75", "25", "6"); b.addVariable("f", "tone.mp3"); b.write("b");
</script></body></html>`);
                await visit(browser, await siteServer(out), "two.html", async (page) => {
                    await page.waitForSelector("#b .tmbr-toggle", TIMEOUT);
                    await page.click("#a .tmbr-toggle");
                    await waitForPlayback(page, 0.2, 0);
                    await page.click("#b .tmbr-toggle");
                    await waitForPlayback(page, 0.2, 1);
                    assert.equal((await audioState(page, 0)).paused, true);
                    assert.equal(await attribute(page, "#a .tmbr-button", "data-state"), "stopped");
                    assert.equal(await attribute(page, "#b .tmbr-button", "data-state"), "playing");
                });
            });
        });

        describe("jukebox", () => {
            test("the local test page lists names and durations, auto plays, seeks and moves on by auto progress", async () => {
                const out = jukebox(["--auto-play", "--volume", "30", "--bold"]);
                await visit(browser, await testServer(out), "do-not-upload.html", async (page) => {
                    await page.waitForSelector(".tmbr-list", TIMEOUT);
                    assert.deepEqual(await page.$$eval(".tmbr-list .tmbr-name", (l) => l.map((e) => e.textContent)), names);
                    await page.waitForFunction(() => [...document.querySelectorAll(".tmbr-list button")]
                        .map((b) => b.querySelector(".tmbr-clock")?.textContent).join() === "0:06,0:01,0:01", TIMEOUT);
                    const box = await (await page.$(".tmbr-jukebox")).boundingBox();
                    assert.deepEqual([box.width, box.height], [400, 300]);
                    assert.equal(await page.$eval(".tmbr-list button", (b) => getComputedStyle(b).fontWeight), "700");
                    await waitForPlayback(page, 0.2);
                    assert.equal(await currentName(page), names[0]);
                    assert.deepEqual(await page.evaluate(() => [navigator.mediaSession.metadata.title, navigator.mediaSession.metadata.artist]),
                        [names[0], await page.title()]);
                    // The settings name the tracks by their local paths in the output folder.
                    assert.match((await audioState(page)).src, /\/site%20\d+\/one\.mp3$/);

                    assert.equal(await page.$eval(".tmbr-volume", (v) => v.value), "30");
                    assert.equal((await audioState(page)).volume, 0.3);
                    await page.focus(".tmbr-volume");
                    await page.keyboard.press("ArrowRight");
                    assert.equal((await audioState(page)).volume, 0.35);

                    const target = await clickSeekBar(page, ".tmbr-seek", 0.75);
                    await page.waitForFunction((t) => Math.abs(document.querySelector("audio").currentTime - t) < 0.5, TIMEOUT, target);
                    await shoot(page, ".tmbr-jukebox", `player-jukebox-${engine.name}.png`);
                    await waitForTrack(page, names[1]);
                    assert.equal(await page.evaluate(() => navigator.mediaSession.metadata.title), names[1]);
                    await waitForTrack(page, names[2]);
                    // After the last track the list goes back to the first one and stops.
                    await waitForTrack(page, names[0], true);
                    assert.deepEqual(await seriousAxeViolations(page, ".tmbr-jukebox"), []);
                });
            });

            test("without auto play nothing plays; buttons and taps choose tracks and pause; without auto progress it stops", async () => {
                const out = jukebox(["--no-auto-progress"]);
                await visit(browser, await testServer(out), "do-not-upload.html", async (page) => {
                    await page.waitForSelector(".tmbr-play[aria-label=Play]", TIMEOUT);
                    assert.equal((await audioState(page)).paused, true);
                    assert.equal(await page.$eval(".tmbr-now", (e) => e.textContent), names[0]);
                    await page.click(".tmbr-next");
                    await waitForTrack(page, names[1]);
                    await page.click(".tmbr-play[aria-label=Pause]");
                    assert.equal((await audioState(page)).paused, true);
                    await (await page.$$(".tmbr-list button"))[2].tap();
                    await page.waitForFunction(() => document.querySelector("audio").ended, TIMEOUT);
                    assert.equal(await currentName(page), names[2]);
                    await page.click(".tmbr-prev");
                    assert.equal(await currentName(page), names[1]);
                });
            });

            test("keyboard only from Tab: Space, arrows, N and P; the current track is scrolled into view", async () => {
                const out = tmbr(["jukebox", "--player", "jbx_300200_classic", "--no-auto-progress", ...tracks, ...tracks]);
                await visit(browser, await testServer(out), "do-not-upload.html", async (page) => {
                    await page.waitForSelector(".tmbr-list", TIMEOUT);
                    await page.keyboard.press("Tab");
                    assert.deepEqual(await focused(page), { tag: "INPUT", label: "Seek", outline: "solid" });
                    await page.keyboard.press(" ");
                    await waitForPlayback(page, 0.1);
                    await page.keyboard.press("ArrowRight");
                    assert.ok((await audioState(page)).time > 4.5);
                    await page.keyboard.press("ArrowUp");
                    assert.equal(await page.$eval(".tmbr-volume", (v) => v.value), "55");
                    for (const key of ["n", "n", "n", "n"]) {
                        await page.keyboard.press(key);
                    }
                    await page.waitForFunction(() => !document.querySelector("audio").paused, TIMEOUT);
                    assert.equal(await page.$$eval(".tmbr-list button", (l) => l.findIndex((b) => b.hasAttribute("aria-current"))), 4);
                    // The list shows the current track without moving the page.
                    assert.deepEqual(await page.$eval(".tmbr-list [aria-current]", (b) => {
                        const item = b.getBoundingClientRect();
                        const list = b.closest("ul").getBoundingClientRect();
                        return [item.top >= list.top - 1 && item.bottom <= list.bottom + 1, window.scrollY];
                    }), [true, 0]);
                    await page.keyboard.press("p");
                    await waitForTrack(page, "one");
                    await page.keyboard.press("k");
                    assert.equal((await audioState(page)).paused, true);
                    for (let i = 0; i < 4; i++) {
                        await page.keyboard.press("Tab");
                    }
                    assert.equal((await focused(page)).label, "Volume");
                    // Firefox also stops on the scrolling list itself.
                    for (let i = 0; i < 3 && (await focused(page)).label !== "two & more0:01"; i++) {
                        await page.keyboard.press("Tab");
                    }
                    assert.deepEqual(await focused(page), { tag: "BUTTON", label: "two & more0:01", outline: "solid" });
                    await page.keyboard.press("Enter");
                    await waitForTrack(page, "two & more");
                });
            });

            test("a missing track says so on its item and auto progress goes on to the next", async () => {
                const out = jukebox(["--auto-play"]);
                rmSync(join(out, "two & more.mp3"));
                await visit(browser, await siteServer(out), "onlinetest-jukebox.html", async (page) => {
                    await page.waitForSelector(".tmbr-list", TIMEOUT);
                    await page.waitForFunction(() => document.querySelectorAll(".tmbr-list .tmbr-fail").length === 1, TIMEOUT);
                    await waitForPlayback(page, 0.1);
                    await page.keyboard.press("Tab");
                    await page.keyboard.press("End");
                    await page.waitForFunction((n) => document.querySelector(".tmbr-now").textContent === "Could not play: " + n,
                        TIMEOUT, names[1]);
                    assert.deepEqual(await page.$$eval(".tmbr-list .tmbr-fail", (l) => l.map((e) => e.textContent)), ["Could not be loaded"]);
                    await waitForTrack(page, names[2]);
                    assert.equal(await page.$eval(".tmbr-list [aria-current] .tmbr-fail", () => true).catch(() => false), false);
                });
            });

            test("random play picks another track than the next in order", async () => {
                const out = jukebox(["--auto-play", "--random"]);
                // Math.random near 1: the first pick is the last track, the next the middle one.
                await visit(browser, await testServer(out), "do-not-upload.html", async (page) => {
                    await waitForPlayback(page, 0.1);
                    assert.equal(await currentName(page), names[2]);
                    await waitForTrack(page, names[1]);
                }, (page) => page.evaluateOnNewDocument(() => { Math.random = () => 0.99; }));
            });

            test("a settings file that cannot be read gives a clear message", async () => {
                const out = jukebox([]);
                writeFileSync(join(out, "nosettings.html"), `<!DOCTYPE html><html><head><script src="swfobject.js"></script></head>
<body><div id="j"></div><script>
var j = new SWFObject("p.swf", "pj", "300", "200", "6"); j.addVariable("loc", "missing/"); j.write("j");
</script></body></html>`);
                await visit(browser, await siteServer(out), "nosettings.html", async (page) => {
                    await page.waitForFunction(() => document.querySelector("[role=alert]")?.textContent === "The playlist could not be loaded."
                        && !document.querySelector(".tmbr-jukebox").hasAttribute("aria-busy"), TIMEOUT);
                });
            });

            test("the online test page served as a site reads its settings and plays", async () => {
                const out = jukebox(["--auto-play"]);
                const site = await siteServer(out);
                await visit(browser, site, "onlinetest-jukebox.html", async (page) => {
                    await waitForPlayback(page, 0.1);
                    assert.deepEqual(await page.$$eval(".tmbr-list .tmbr-name", (l) => l.map((e) => e.textContent)), names);
                    assert.equal(await page.evaluate(() => decodeURI(document.querySelector("audio").src)), site.base + "one.mp3");
                });
            });
        });

        describe("auto play blocked and reduced motion asked by the browser", () => {
            let strict;
            before(async () => {
                strict = await launch(engine, false);
            });
            after(async () => {
                await strict?.close();
            });

            test("the button says Click to play and a click plays; its buffering sign keeps still", async () => {
                const out = tmbr(["button", "--player", "tmbr_type08_slim", "--mp3", tone, "--auto-play"]);
                const site = await siteServer(out, { held: true });
                await visit(strict, site, "onlinetest-single-button.html", async (page) => {
                    await page.waitForSelector(".tmbr-toggle[aria-label='Click to play']", TIMEOUT);
                    assert.equal(await page.$eval(".tmbr-toggle", (b) => b.textContent), "Click to play");
                    assert.equal(await attribute(page, ".tmbr-button", "data-state"), "blocked");
                    await page.click(".tmbr-toggle");
                    assert.equal(await page.$eval(".tmbr-spin", (e) => getComputedStyle(e).animationName), "none");
                    site.release();
                    await waitForPlayback(page);
                    assert.equal(await attribute(page, ".tmbr-toggle", "aria-label"), "Stop");
                });
            });

            test("the jukebox says Click to play and a click plays", async () => {
                const out = jukebox(["--auto-play"]);
                await visit(strict, await testServer(out), "do-not-upload.html", async (page) => {
                    await page.waitForSelector(".tmbr-play[aria-label='Click to play']", TIMEOUT);
                    await page.click(".tmbr-play");
                    await waitForPlayback(page, 0.1);
                });
            });
        });

        describe("help page", () => {
            test("every contents link leads to its section, nothing loads from elsewhere, headings do not skip levels", async () => {
                const page = await browser.newPage();
                const requests = [];
                page.on("request", (request) => requests.push(request.url()));
                try {
                    await page.goto("file://" + join(process.env.TMBRSA_APP_DIR, "tmbr_sa.html"));
                    assert.equal(await page.title(), "Tambrel Streaming Audio Help");
                    const broken = await page.evaluate(() => [...document.querySelectorAll("a[href]")]
                        .filter((a) => !a.getAttribute("href").startsWith("#") || !document.getElementById(a.getAttribute("href").slice(1)))
                        .map((a) => a.getAttribute("href")));
                    assert.deepEqual(broken, []);
                    assert.deepEqual(requests.filter((url) => !url.startsWith("file://") && !url.startsWith("data:")), []);
                    // The pictures are part of the page and show.
                    assert.deepEqual(await page.$$eval("img", (l) => l.map((i) => i.src.startsWith("data:image/png;base64,")
                        && i.complete && i.naturalWidth > 0 && i.alt !== "")), [true, true]);
                    const levels = await page.$$eval("h1, h2, h3, h4", (l) => l.map((h) => Number(h.tagName[1])));
                    assert.equal(levels[0], 1);
                    for (let i = 1; i < levels.length; i++) {
                        assert.ok(levels[i] <= levels[i - 1] + 1, `heading level ${levels[i]} after ${levels[i - 1]}`);
                    }
                    const sections = await page.$$eval("main h2", (l) => l.map((h) => h.textContent));
                    assert.deepEqual(sections, ["The two players", "Single Button Control", "Multitrack JukeBox", "The three code types",
                        "Uploading the files", "Testing: the local and online test pages", "Quick Audio Recorder", "Mp3 Optimizer",
                        "Menus and keys"]);
                } finally {
                    await page.close();
                }
            });
        });
    });
}
