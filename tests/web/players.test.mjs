// The generated pages in a real browser: Debian's Chromium driven by Playwright.
// Pages come from the real `tmbr button` / `tmbr jukebox`, MP3 files from sox and lame;
// local test pages are served by the program's loopback server (tmbr_webserve), online
// test pages by a plain loopback server that stands in for the web site.
//
// Environment: TMBR_EXE, TMBR_WEBSERVE, TMBRSA_APP_DIR; TMBR_WEB_SCREENSHOT_DIR (optional)
// receives pictures of both players. Exits 77 when Playwright or Chromium is missing.

import { execFileSync, spawn } from "node:child_process";
import { createReadStream, existsSync, mkdirSync, mkdtempSync, readFileSync, rmSync, statSync, writeFileSync } from "node:fs";
import { createServer } from "node:http";
import { tmpdir } from "node:os";
import { extname, join, normalize, sep } from "node:path";
import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import { createInterface } from "node:readline";

const CHROMIUM = "/usr/bin/chromium";
let chromium;
try {
    ({ chromium } = await import("playwright-core"));
} catch {
    console.error("players.test: playwright-core is missing (run npm ci in tests/web)");
    process.exit(77);
}
if (!existsSync(CHROMIUM)) {
    console.error(`players.test: ${CHROMIUM} is missing (Debian package chromium)`);
    process.exit(77);
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

// A plain web site over `root` at "/", with single byte ranges.
async function siteServer(root) {
    const server = createServer((request, response) => {
        const path = normalize(decodeURIComponent(new URL(request.url, "http://x").pathname));
        const file = join(root, path);
        if (!file.startsWith(root) || !existsSync(file) || !statSync(file).isFile()) {
            response.writeHead(404).end();
            return;
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
        stop: () => new Promise((resolve) => {
            server.closeAllConnections();
            server.close(resolve);
        }),
    };
}

async function launch(autoplay) {
    const profile = mkdtempSync(join(work, "profile-"));
    const args = ["--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
        "--disable-component-update", "--disable-sync"];
    if (autoplay) {
        args.push("--autoplay-policy=no-user-gesture-required");
    }
    return chromium.launchPersistentContext(profile, {
        executablePath: CHROMIUM, headless: true, args, deviceScaleFactor: 2, hasTouch: true,
    });
}

// The current time of the page's n-th audio element once it has passed `seconds`.
async function waitForPlayback(page, seconds = 0.3, index = 0) {
    await page.waitForFunction(([i, s]) => {
        const audio = document.querySelectorAll("audio")[i];
        return audio && !audio.paused && audio.currentTime > s;
    }, [index, seconds], { timeout: 15000 });
}

function shoot(locator, name) {
    const folder = process.env.TMBR_WEB_SCREENSHOT_DIR;
    if (!folder) {
        return Promise.resolve();
    }
    mkdirSync(folder, { recursive: true });
    return locator.screenshot({ path: join(folder, name) });
}

let browser;
let tone;
let shortTone;
const tracks = [];
const names = ["Rock & Roll", 'Say "Hello"', "Café Ünïcode – Ω"];

before(async () => {
    tone = makeMp3("tone.mp3", 4, 440);
    shortTone = makeMp3("short.mp3", 1, 660);
    tracks.push(makeMp3("one.mp3", 1.2, 330), makeMp3("two & more.mp3", 1.2, 440), makeMp3("drei café.mp3", 1.2, 550));
    browser = await launch(true);
});

after(async () => {
    await browser?.close();
    rmSync(work, { recursive: true, force: true });
});

describe("single button", () => {
    for (const [player, colourable] of [["tmbr_type04_chameleon", true], ["tmbr_type04_classic", false]]) {
        test(`${player}: the local test page shows the button at its size and a click plays and stops`, async () => {
            const out = tmbr(["button", "--player", player, "--mp3", tone, "--colour", "0x3366CC"]);
            const server = await testServer(out);
            const page = await browser.newPage();
            try {
                await page.goto(server.base + "do-not-upload.html");
                await page.getByRole("button", { name: "Play" }).waitFor();
                const button = page.locator("button.tmbr-button");
                const box = await button.boundingBox();
                assert.deepEqual([box.width, box.height], [75, 25]);
                const background = await button.evaluate((b) => getComputedStyle(b).backgroundColor);
                assert.equal(background, colourable ? "rgb(51, 102, 204)" : "rgb(51, 51, 51)");
                if (colourable) {
                    await shoot(button, "single-button.png");
                }
                await button.click();
                await waitForPlayback(page);
                assert.equal(await button.getAttribute("data-state"), "playing");
                assert.equal(await button.getAttribute("aria-label"), "Stop");
                await button.click();
                assert.equal(await page.evaluate(() => document.querySelector("audio").paused), true);
                assert.equal(await button.getAttribute("aria-label"), "Play");
            } finally {
                await page.close();
                await server.stop();
            }
        });
    }

    test("the online test page served as a site plays on a keyboard press, with visible focus", async () => {
        const out = tmbr(["button", "--player", "tmbr_type07_chameleon", "--mp3", tone]);
        const site = await siteServer(out);
        const page = await browser.newPage();
        try {
            await page.goto(site.base + "onlinetest-single-button.html");
            const button = page.getByRole("button", { name: "Play" });
            await button.waitFor();
            await page.keyboard.press("Tab");
            assert.equal(await button.evaluate((b) => document.activeElement === b), true);
            const outline = await button.evaluate((b) => getComputedStyle(b).outlineStyle);
            assert.equal(outline, "solid");
            await page.keyboard.press("Enter");
            await waitForPlayback(page);
        } finally {
            await page.close();
            await site.stop();
        }
    });

    test("auto play starts on load and loop plays the track again", async () => {
        const out = tmbr(["button", "--player", "tmbr_type04_classic", "--mp3", shortTone, "--auto-play", "--loop"]);
        const server = await testServer(out);
        const page = await browser.newPage();
        try {
            await page.goto(server.base + "do-not-upload.html");
            await waitForPlayback(page, 0.6);
            assert.equal(await page.evaluate(() => document.querySelector("audio").loop), true);
            // Past the end of the 1 s track the time starts again and the button keeps playing.
            await page.waitForFunction(() => document.querySelector("audio").currentTime < 0.4, null, { timeout: 5000 });
            await page.waitForTimeout(0);
            assert.equal(await page.getByRole("button").getAttribute("data-state"), "playing");
        } finally {
            await page.close();
            await server.stop();
        }
    });

    test("without auto play and loop nothing plays on load and the end of the track stops the button", async () => {
        const out = tmbr(["button", "--player", "tmbr_type04_classic", "--mp3", shortTone]);
        const server = await testServer(out);
        const page = await browser.newPage();
        try {
            await page.goto(server.base + "do-not-upload.html");
            await page.getByRole("button", { name: "Play" }).waitFor();
            const button = page.locator("button.tmbr-button");
            assert.equal(await page.evaluate(() => document.querySelector("audio").paused), true);
            await button.click();
            await page.waitForFunction(() => document.querySelector("audio").ended, null, { timeout: 10000 });
            assert.equal(await button.getAttribute("data-state"), "stopped");
        } finally {
            await page.close();
            await server.stop();
        }
    });

    test("only one player of a page sounds at a time", async () => {
        const out = tmbr(["button", "--player", "tmbr_type04_classic", "--mp3", tone]);
        writeFileSync(join(out, "two.html"), `<!DOCTYPE html><html><head><script src="swfobject.js"></script></head><body>
<div id="a"></div><div id="b"></div><script>
var a = new SWFObject("p.swf", "pa", "75", "25", "6"); a.addVariable("f", "tone.mp3"); a.write("a");
var b = new SWFObject("p.swf", "pb", "75", "25", "6"); b.addVariable("f", "tone.mp3"); b.write("b");
</script></body></html>`);
        const site = await siteServer(out);
        const page = await browser.newPage();
        try {
            await page.goto(site.base + "two.html");
            await page.getByRole("button", { name: "Play" }).nth(1).waitFor();
            const buttons = page.locator("button.tmbr-button");
            await buttons.nth(0).click();
            await waitForPlayback(page, 0.2, 0);
            await buttons.nth(1).click();
            await waitForPlayback(page, 0.2, 1);
            assert.equal(await page.evaluate(() => document.querySelectorAll("audio")[0].paused), true);
            assert.equal(await buttons.nth(0).getAttribute("data-state"), "stopped");
            assert.equal(await buttons.nth(1).getAttribute("data-state"), "playing");
        } finally {
            await page.close();
            await site.stop();
        }
    });
});

function jukebox(options) {
    const args = ["jukebox", "--player", "jbx_400300_chameleon", "--colour", "0x993366", ...options];
    for (const name of names) {
        args.push("--display", name);
    }
    return tmbr([...args, ...tracks]);
}

const currentName = (page) => page.locator(".tmbr-list [aria-current]").textContent();

describe("jukebox", () => {
    test("the local test page lists the display names, auto plays the first track and moves on", async () => {
        const out = jukebox(["--auto-play", "--volume", "30", "--bold"]);
        const server = await testServer(out);
        const page = await browser.newPage();
        try {
            await page.goto(server.base + "do-not-upload.html");
            const list = page.getByRole("list", { name: "Playlist" });
            await list.waitFor();
            assert.deepEqual(await list.getByRole("listitem").allTextContents(), names);
            const region = page.getByRole("region", { name: "Jukebox" });
            const box = await region.boundingBox();
            assert.deepEqual([box.width, box.height], [400, 300]);
            assert.equal(await list.getByRole("button").first().evaluate((b) => getComputedStyle(b).fontWeight), "700");
            await waitForPlayback(page, 0.2);
            assert.equal(await currentName(page), names[0]);
            await shoot(region, "jukebox.png");
            // The settings name the tracks by their local paths in the output folder.
            assert.match(await page.evaluate(() => document.querySelector("audio").src), /\/site%20\d+\/one\.mp3$/);

            const volume = page.getByRole("slider", { name: "Volume" });
            assert.equal(await volume.inputValue(), "30");
            assert.equal(await page.evaluate(() => document.querySelector("audio").volume), 0.3);
            await volume.focus();
            await page.keyboard.press("ArrowRight");
            assert.equal(await page.evaluate(() => document.querySelector("audio").volume), 0.35);

            await page.waitForFunction((n) => document.querySelector(".tmbr-list [aria-current]").textContent === n
                && document.querySelector("audio").currentTime > 0.1, names[1], { timeout: 10000 });
            await page.waitForFunction((n) => document.querySelector(".tmbr-list [aria-current]").textContent === n
                && document.querySelector("audio").currentTime > 0.1, names[2], { timeout: 10000 });
            // After the last track the list goes back to the first one and stops.
            await page.waitForFunction((n) => document.querySelector(".tmbr-list [aria-current]").textContent === n
                && document.querySelector("audio").paused, names[0], { timeout: 10000 });
        } finally {
            await page.close();
            await server.stop();
        }
    });

    test("without auto play nothing plays; buttons and taps choose tracks and pause; without auto progress it stops", async () => {
        const out = jukebox(["--no-auto-progress"]);
        const server = await testServer(out);
        const page = await browser.newPage();
        try {
            await page.goto(server.base + "do-not-upload.html");
            const play = page.getByRole("button", { name: "Play", exact: true });
            await play.waitFor();
            assert.equal(await page.evaluate(() => document.querySelector("audio").paused), true);
            await page.getByRole("button", { name: "Next track" }).click();
            await waitForPlayback(page, 0.1);
            assert.equal(await currentName(page), names[1]);
            await page.getByRole("button", { name: "Pause" }).click();
            assert.equal(await page.evaluate(() => document.querySelector("audio").paused), true);
            await page.getByRole("button", { name: names[2] }).tap();
            await page.waitForFunction(() => document.querySelector("audio").ended, null, { timeout: 10000 });
            assert.equal(await currentName(page), names[2]);
            await page.getByRole("button", { name: "Previous track" }).click();
            assert.equal(await currentName(page), names[1]);
        } finally {
            await page.close();
            await server.stop();
        }
    });

    test("random play picks another track than the next in order", async () => {
        const out = jukebox(["--auto-play", "--random"]);
        const server = await testServer(out);
        const page = await browser.newPage();
        try {
            // Math.random near 1: the first pick is the last track, the next the middle one.
            await page.addInitScript(() => { Math.random = () => 0.99; });
            await page.goto(server.base + "do-not-upload.html");
            await waitForPlayback(page, 0.1);
            assert.equal(await currentName(page), names[2]);
            await page.waitForFunction((n) => document.querySelector(".tmbr-list [aria-current]").textContent === n
                && !document.querySelector("audio").paused, names[1], { timeout: 10000 });
        } finally {
            await page.close();
            await server.stop();
        }
    });

    test("a settings file that cannot be read gives a clear message", async () => {
        const out = jukebox([]);
        writeFileSync(join(out, "nosettings.html"), `<!DOCTYPE html><html><head><script src="swfobject.js"></script></head>
<body><div id="j"></div><script>
var j = new SWFObject("p.swf", "pj", "300", "200", "6"); j.addVariable("loc", "missing/"); j.write("j");
</script></body></html>`);
        const site = await siteServer(out);
        const page = await browser.newPage();
        try {
            await page.goto(site.base + "nosettings.html");
            await page.getByRole("alert").filter({ hasText: "The playlist could not be loaded." }).waitFor();
        } finally {
            await page.close();
            await site.stop();
        }
    });

    test("the online test page served as a site reads its settings and plays", async () => {
        const out = jukebox(["--auto-play"]);
        const site = await siteServer(out);
        const page = await browser.newPage();
        try {
            await page.goto(site.base + "onlinetest-jukebox.html");
            await waitForPlayback(page, 0.1);
            assert.deepEqual(await page.getByRole("listitem").allTextContents(), names);
            assert.equal(await page.evaluate(() => decodeURI(document.querySelector("audio").src)), site.base + "one.mp3");
        } finally {
            await page.close();
            await site.stop();
        }
    });
});

describe("auto play blocked by the browser", () => {
    let strict;
    before(async () => {
        strict = await launch(false);
    });
    after(async () => {
        await strict?.close();
    });

    test("the button says Click to play and a click plays", async () => {
        const out = tmbr(["button", "--player", "tmbr_type08_slim", "--mp3", tone, "--auto-play"]);
        const server = await testServer(out);
        const page = await strict.newPage();
        try {
            await page.goto(server.base + "do-not-upload.html");
            await page.getByRole("button", { name: "Click to play" }).waitFor();
            const button = page.locator("button.tmbr-button");
            assert.equal(await button.textContent(), "Click to play");
            assert.equal(await button.getAttribute("data-state"), "blocked");
            await button.click();
            await waitForPlayback(page);
            assert.equal(await button.getAttribute("aria-label"), "Stop");
        } finally {
            await page.close();
            await server.stop();
        }
    });

    test("the jukebox says Click to play and a click plays", async () => {
        const out = jukebox(["--auto-play"]);
        const server = await testServer(out);
        const page = await strict.newPage();
        try {
            await page.goto(server.base + "do-not-upload.html");
            const button = page.getByRole("button", { name: "Click to play" });
            await button.waitFor();
            await button.click();
            await waitForPlayback(page, 0.1);
        } finally {
            await page.close();
            await server.stop();
        }
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
            assert.deepEqual(requests.filter((url) => !url.startsWith("file://")), []);
            const levels = await page.evaluate(() => [...document.querySelectorAll("h1, h2, h3, h4")].map((h) => Number(h.tagName[1])));
            assert.equal(levels[0], 1);
            for (let i = 1; i < levels.length; i++) {
                assert.ok(levels[i] <= levels[i - 1] + 1, `heading level ${levels[i]} after ${levels[i - 1]}`);
            }
            const sections = await page.locator("main h2").allTextContents();
            assert.deepEqual(sections, ["The two players", "Single Button Control", "Multitrack JukeBox", "The three code types",
                "Uploading the files", "Testing: the local and online test pages", "Quick Audio Recorder", "Mp3 Optimizer",
                "Menus and keys"]);
        } finally {
            await page.close();
        }
    });
});
