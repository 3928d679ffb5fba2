/*
 * SWFObject: puts a web audio player into an element of the page.
 *
 *   var so = new SWFObject("player.swf", "ab0509", "75", "25", "7", "#FFFFFF");
 *   so.addVariable("f", "song.mp3");
 *   so.write("player");
 *
 * With a Flash plug-in of the required version the movie is embedded as it always was.
 * Without one (every current browser), write() hands over to SWFObject.renderWithoutPlayer,
 * which draws an HTML5 player from the same variables:
 *   f, m, l, c  a play/stop button: f the MP3 address, m "Auto" plays on load, l "Yes" loops,
 *               c the colour as 0xRRGGBB;
 *   loc         a jukebox that reads loc + "settings_as.xml" (options AM to AR and the playlist).
 * Both fit the movie's width and height and have a progress bar that seeks, the time, a
 * buffering state and keys for a focused player; the jukebox lists the tracks' lengths, marks
 * and skips tracks that fail, and feeds the browser's media controls. Only one player of a
 * page sounds at a time. When the browser blocks playing without a click, the player says
 * "Click to play" and starts on the next click.
 *
 * Plain ES5 without dependencies.
 */
(function (global) {
    "use strict";

    var doc = global.document;

    function escapeAttribute(value) {
        return String(value)
            .replace(/&/g, "&amp;")
            .replace(/"/g, "&quot;")
            .replace(/</g, "&lt;")
            .replace(/>/g, "&gt;");
    }

    // Name/value pairs that keep the order of their first addition.
    function OrderedMap() {
        this.names = [];
        this.values = {};
    }

    OrderedMap.prototype.set = function (name, value) {
        name = String(name);
        if (!this.has(name)) {
            this.names.push(name);
        }
        this.values[name] = value;
    };

    OrderedMap.prototype.has = function (name) {
        return Object.prototype.hasOwnProperty.call(this.values, name);
    };

    OrderedMap.prototype.get = function (name) {
        return this.has(name) ? this.values[name] : "";
    };

    // swf: movie URL; id: element id and name of the movie; width, height: pixels as text;
    // version: lowest player version ("7" or "7.0.0"); color: background such as "#FFFFFF",
    // optional.
    function SWFObject(swf, id, width, height, version, color) {
        this.attributes = new OrderedMap();
        this.params = new OrderedMap();
        this.variables = new OrderedMap();
        this.setAttribute("swf", swf);
        this.setAttribute("id", id);
        this.setAttribute("width", width);
        this.setAttribute("height", height);
        this.setAttribute("version", version);
        if (color) {
            this.addParam("bgcolor", color);
        }
        this.addParam("quality", "high");
    }

    SWFObject.prototype.setAttribute = function (name, value) {
        this.attributes.set(name, value);
    };

    SWFObject.prototype.getAttribute = function (name) {
        return this.attributes.get(name);
    };

    // Params become attributes of the embed element (quality, wmode, allowscriptaccess...).
    SWFObject.prototype.addParam = function (name, value) {
        this.params.set(name, value);
    };

    SWFObject.prototype.getParam = function (name) {
        return this.params.get(name);
    };

    // Variables reach the movie as FlashVars. Values are used as given: callers encode
    // what would break a name=value pair.
    SWFObject.prototype.addVariable = function (name, value) {
        this.variables.set(name, value);
    };

    // Returns the variable's value, or "" when it was never added.
    SWFObject.prototype.getVariable = function (name) {
        return this.variables.get(name);
    };

    SWFObject.prototype.hasVariable = function (name) {
        return this.variables.has(name);
    };

    // Returns ["name=value", ...] in the order the variables were first added.
    SWFObject.prototype.getVariablePairs = function () {
        var pairs = [];
        for (var i = 0; i < this.variables.names.length; i++) {
            var name = this.variables.names[i];
            pairs.push(name + "=" + this.variables.values[name]);
        }
        return pairs;
    };

    SWFObject.prototype.getSWFHTML = function () {
        var id = escapeAttribute(this.getAttribute("id"));
        var html = '<embed type="application/x-shockwave-flash"' +
            ' src="' + escapeAttribute(this.getAttribute("swf")) + '"' +
            ' width="' + escapeAttribute(this.getAttribute("width")) + '"' +
            ' height="' + escapeAttribute(this.getAttribute("height")) + '"' +
            ' id="' + id + '" name="' + id + '"';
        for (var i = 0; i < this.params.names.length; i++) {
            var name = this.params.names[i];
            html += " " + escapeAttribute(name) + '="' + escapeAttribute(this.params.values[name]) + '"';
        }
        var pairs = this.getVariablePairs();
        if (pairs.length > 0) {
            html += ' flashvars="' + escapeAttribute(pairs.join("&")) + '"';
        }
        return html + " />";
    };

    // elementId: the id of the element to fill, or the element itself.
    // Returns true when the element received a player, false when there is no such element.
    SWFObject.prototype.write = function (elementId) {
        var element = typeof elementId === "string" ? doc.getElementById(elementId) : elementId;
        if (!element) {
            return false;
        }
        var installed = SWFObject.playerVersion();
        if (installed > 0 && installed >= (parseInt(this.getAttribute("version"), 10) || 0)) {
            element.innerHTML = this.getSWFHTML();
            return true;
        }
        return SWFObject.renderWithoutPlayer(this, element);
    };

    // Major version of the browser's Flash player, 0 when it has none.
    SWFObject.playerVersion = function () {
        var nav = global.navigator;
        var mime = nav && nav.mimeTypes ? nav.mimeTypes["application/x-shockwave-flash"] : null;
        var plugin = mime ? mime.enabledPlugin : null;
        var match = plugin && plugin.description ? /(\d+)/.exec(plugin.description) : null;
        return match ? parseInt(match[1], 10) : 0;
    };

    // Draws the HTML5 player that the variables ask for; a movie with neither "loc" nor "f"
    // keeps the embed markup, so the page keeps the movie's place.
    SWFObject.renderWithoutPlayer = function (so, element) {
        if (so.hasVariable("loc")) {
            element.innerHTML = "";
            new Jukebox(so, element);
        } else if (so.hasVariable("f")) {
            element.innerHTML = "";
            new Button(so, element);
        } else {
            element.innerHTML = so.getSWFHTML();
        }
        return true;
    };

    // ---- shared parts of the HTML5 players ----

    var STYLE =
        ".tmbr-sa{box-sizing:border-box;display:inline-block;vertical-align:middle;text-align:left;" +
        "font:13px/1.3 system-ui,sans-serif;touch-action:manipulation}" +
        ".tmbr-sa *{box-sizing:border-box}" +
        ".tmbr-sa button{font:inherit;color:inherit;cursor:pointer;border:0;margin:0}" +
        ".tmbr-sa:focus-visible,.tmbr-sa button:focus-visible,.tmbr-sa input:focus-visible{outline:3px solid #1a5fb4;" +
        "outline-offset:2px}" +
        ".tmbr-sa svg{width:1em;height:1em;fill:currentColor;vertical-align:middle}" +
        "@keyframes tmbr-spin{to{transform:rotate(360deg)}}" +
        ".tmbr-spin{animation:tmbr-spin 1s linear infinite}" +
        ".tmbr-clock{white-space:nowrap;font-variant-numeric:tabular-nums}" +
        ".tmbr-range{-webkit-appearance:none;appearance:none;min-width:0;height:100%;margin:0;padding:0;" +
        "cursor:pointer;color:inherit;background:linear-gradient(90deg,currentColor var(--p,0%)," +
        "rgba(128,128,128,.75) var(--p,0%) var(--b,0%),rgba(128,128,128,.3) var(--b,0%)) center/100% 4px no-repeat}" +
        ".tmbr-range::-webkit-slider-thumb{-webkit-appearance:none;width:10px;height:10px;border-radius:50%;" +
        "background:currentColor}" +
        ".tmbr-range::-moz-range-thumb{width:10px;height:10px;border:0;border-radius:50%;background:currentColor}" +
        ".tmbr-range::-moz-range-track,.tmbr-range::-moz-range-progress{background:none}" +
        ".tmbr-button{display:flex;align-items:center;gap:3px;padding-right:5px;border-radius:4px;font-size:11px;" +
        "white-space:nowrap}" +
        ".tmbr-button svg{width:12px;height:12px}" +
        ".tmbr-toggle{flex:none;height:100%;display:inline-flex;align-items:center;justify-content:center;gap:4px;" +
        "padding:0 4px;background:none;overflow:hidden}" +
        ".tmbr-button .tmbr-seek{flex:1}" +
        ".tmbr-button .tmbr-clock{font-size:10px}" +
        ".tmbr-button[data-state=blocked],.tmbr-button[data-state=error]{padding-right:0}" +
        ".tmbr-button[data-state=blocked] .tmbr-toggle,.tmbr-button[data-state=error] .tmbr-toggle{flex:1}" +
        ".tmbr-narrow[data-state=blocked] .tmbr-toggle{font-size:10px;padding:0 2px}" +
        ".tmbr-narrow[data-state=blocked] svg{display:none}" +
        ".tmbr-button[data-state=blocked] .tmbr-seek,.tmbr-button[data-state=blocked] .tmbr-clock," +
        ".tmbr-button[data-state=error] .tmbr-seek,.tmbr-button[data-state=error] .tmbr-clock{display:none}" +
        ".tmbr-jukebox{display:inline-flex;flex-direction:column;border:1px solid #888;border-radius:6px;" +
        "overflow:hidden;background:#fff;color:#111}" +
        ".tmbr-head{padding:6px 8px}" +
        ".tmbr-line{display:flex;gap:8px;align-items:baseline}" +
        ".tmbr-now{flex:1;min-width:0;white-space:nowrap;overflow:hidden;text-overflow:ellipsis;font-weight:600}" +
        ".tmbr-jukebox .tmbr-clock{font-size:12px}" +
        ".tmbr-loading .tmbr-now::before{content:\"\";display:inline-block;width:9px;height:9px;margin-right:6px;" +
        "border:2px solid;border-right-color:transparent;border-radius:50%;animation:tmbr-spin 1s linear infinite}" +
        ".tmbr-seekrow{display:flex;height:16px;margin-top:2px}" +
        ".tmbr-seekrow .tmbr-seek{flex:1}" +
        ".tmbr-bar{display:flex;align-items:center;gap:4px;margin-top:2px}" +
        ".tmbr-bar button{min-width:32px;height:32px;border-radius:16px;background:rgba(255,255,255,.25);" +
        "display:inline-flex;align-items:center;justify-content:center;gap:4px;padding:0 8px}" +
        ".tmbr-bar>svg{flex:none;margin-left:6px}" +
        ".tmbr-bar input{flex:1;min-width:40px;height:32px;margin:0}" +
        ".tmbr-list{position:relative;list-style:none;margin:0;padding:2px 0;overflow:auto;flex:1}" +
        ".tmbr-list button{display:flex;gap:8px;align-items:baseline;width:100%;text-align:left;padding:6px 8px;" +
        "min-height:32px;background:none;border-bottom:1px solid #eee}" +
        ".tmbr-list button[aria-current]{background:#e8eef8;box-shadow:inset 3px 0 #1a5fb4}" +
        ".tmbr-list button:focus-visible{outline-offset:-3px}" +
        ".tmbr-name{flex:1;min-width:0;overflow:hidden;text-overflow:ellipsis;white-space:nowrap}" +
        ".tmbr-list .tmbr-clock{color:#555;font-size:12px}" +
        ".tmbr-fail{color:#a51d2d;font-size:12px;white-space:nowrap}" +
        ".tmbr-bold .tmbr-list button{font-weight:bold}" +
        "@media (prefers-reduced-motion:reduce){.tmbr-sa *,.tmbr-sa ::before{animation:none!important;" +
        "transition:none!important;scroll-behavior:auto!important}}";

    function addStyle() {
        if (doc.getElementById("tmbr-sa-style")) {
            return;
        }
        var style = doc.createElement("style");
        style.id = "tmbr-sa-style";
        style.appendChild(doc.createTextNode(STYLE));
        (doc.head || doc.documentElement).appendChild(style);
    }

    var ICONS = {
        play: "M4 2l10 6-10 6z",
        pause: "M3 2h4v12H3zM9 2h4v12H9z",
        stop: "M3 3h10v10H3z",
        prev: "M2 2h2v12H2zM14 2v12L5 8z",
        next: "M12 2h2v12h-2zM2 2v12l9-6z",
        volume: "M1 6h3l4-4v12l-4-4H1zM10 4.5v7a3.5 3.5 0 0 0 0-7z",
        wait: "M8 1a7 7 0 1 0 7 7h-2.5A4.5 4.5 0 1 1 8 3.5z"
    };

    function icon(name) {
        return '<svg viewBox="0 0 16 16" aria-hidden="true" focusable="false"' +
            (name === "wait" ? ' class="tmbr-spin"' : "") + '><path d="' + ICONS[name] + '"/></svg>';
    }

    function element(tag, className, parent) {
        var e = doc.createElement(tag);
        if (className) {
            e.className = className;
        }
        if (parent) {
            parent.appendChild(e);
        }
        return e;
    }

    function makeButton(className, label, parent) {
        var b = element("button", className, parent);
        b.type = "button";
        b.setAttribute("aria-label", label);
        b.title = label;
        return b;
    }

    // "0xRRGGBB" (or "#RRGGBB") as CSS, null for anything else.
    function cssColour(text) {
        var match = /^(?:0x|#)([0-9a-f]{6})$/i.exec(String(text || ""));
        return match ? "#" + match[1] : null;
    }

    // Black or white, whichever reads better on the colour.
    function textOn(colour) {
        var n = parseInt(colour.slice(1), 16);
        var luma = 0.299 * (n >> 16) + 0.587 * ((n >> 8) & 255) + 0.114 * (n & 255);
        return luma > 150 ? "#000" : "#fff";
    }

    function sizeOf(so, name, fallback) {
        var n = parseInt(so.getAttribute(name), 10);
        return n > 0 ? n : fallback;
    }

    // Seconds as "m:ss" or "h:mm:ss"; "-:--" while unknown.
    function clock(seconds) {
        if (!isFinite(seconds) || seconds < 0) {
            return "-:--";
        }
        var s = Math.floor(seconds);
        var m = Math.floor(s / 60);
        var text = (s % 60 < 10 ? ":0" : ":") + (s % 60);
        return m >= 60 ? Math.floor(m / 60) + (m % 60 < 10 ? ":0" : ":") + (m % 60) + text : m + text;
    }

    function durationOf(audio) {
        var d = audio.duration;
        return isFinite(d) && d > 0 ? d : NaN;
    }

    // Every player of the page; a player that starts makes the others stop.
    var players = [];
    // The player that the browser's media controls act on.
    var sounding = null;

    function register(player) {
        players.push(player);
        var audio = player.audio;
        audio.addEventListener("play", function () {
            for (var i = 0; i < players.length; i++) {
                if (players[i] !== player) {
                    players[i].silence();
                }
            }
            announce(player);
        });
        var progress = function () {
            showProgress(player);
        };
        var events = ["timeupdate", "durationchange", "loadedmetadata", "progress", "seeking", "emptied"];
        for (var i = 0; i < events.length; i++) {
            audio.addEventListener(events[i], progress);
        }
        audio.addEventListener("seeked", function () {
            showProgress(player);
            positionState(player);
        });
        audio.addEventListener("playing", function () {
            positionState(player);
        });
        audio.addEventListener("pause", function () {
            var session = mediaSession();
            if (session && sounding === player) {
                session.playbackState = "paused";
            }
        });
        player.root.addEventListener("keydown", function (event) {
            if (!event.ctrlKey && !event.altKey && !event.metaKey && shortcut(player, event)) {
                event.preventDefault();
            }
        });
    }

    // The progress bar: a range over the track's seconds that also seeks.
    function addSeekBar(player, parent) {
        var bar = element("input", "tmbr-range tmbr-seek", parent);
        bar.type = "range";
        bar.min = "0";
        bar.max = "0";
        bar.step = "any";
        bar.value = "0";
        bar.setAttribute("aria-label", "Seek");
        bar.addEventListener("input", function () {
            seekTo(player, Number(bar.value));
        });
        player.seekBar = bar;
        return bar;
    }

    function showProgress(player) {
        var audio = player.audio;
        var bar = player.seekBar;
        var duration = durationOf(audio);
        var now = audio.currentTime || 0;
        var text = clock(now) + " of " + clock(duration);
        if (bar) {
            bar.max = isNaN(duration) ? "0" : String(duration);
            bar.value = String(now);
            bar.setAttribute("aria-valuetext", isNaN(duration) ? clock(now) : text);
            var buffered = 0;
            for (var i = 0; i < audio.buffered.length; i++) {
                if (audio.buffered.start(i) <= now + 0.5) {
                    buffered = Math.max(buffered, audio.buffered.end(i));
                }
            }
            var style = bar.style;
            style.setProperty("--p", isNaN(duration) ? "0%" : Math.min(100, now / duration * 100) + "%");
            style.setProperty("--b", isNaN(duration) ? "0%" : Math.min(100, buffered / duration * 100) + "%");
        }
        if (player.showTime) {
            player.showTime(now, duration, text);
        }
    }

    function seekTo(player, seconds) {
        var audio = player.audio;
        var duration = durationOf(audio);
        if (audio.readyState > 0 && !isNaN(duration) && !isNaN(seconds)) {
            audio.currentTime = Math.max(0, Math.min(duration, seconds));
            showProgress(player);
        }
    }

    // Keys of a focused player: Space or K play and pause, the arrows seek 5 s and set the
    // volume, Home and End go to the start and the end, N and P change tracks where there are
    // tracks. The volume slider and the buttons keep their own keys. Returns true when handled.
    function shortcut(player, event) {
        var key = event.key;
        var target = event.target;
        var onSlider = target === player.volumeSlider;
        var step = { ArrowLeft: -5, ArrowRight: 5, ArrowDown: -5, ArrowUp: 5 }[key];
        if (key === "k" || key === "K" || (key === " " && target.tagName !== "BUTTON")) {
            player.toggle();
        } else if ((key === "n" || key === "N") && player.next) {
            player.next();
        } else if ((key === "p" || key === "P") && player.previous) {
            player.previous();
        } else if (onSlider || event.shiftKey) {
            return false;
        } else if (key === "ArrowLeft" || key === "ArrowRight") {
            seekTo(player, player.audio.currentTime + step);
        } else if (key === "ArrowUp" || key === "ArrowDown") {
            player.setVolume(Math.round(player.audio.volume * 100) + step);
        } else if (key === "Home" || key === "End") {
            seekTo(player, key === "Home" ? 0 : durationOf(player.audio));
        } else {
            return false;
        }
        return true;
    }

    function mediaSession() {
        var session = global.navigator ? global.navigator.mediaSession : null;
        return session && typeof global.MediaMetadata === "function" ? session : null;
    }

    // The browser's media controls (lock screen, media keys) follow the player that sounds.
    function announce(player) {
        var session = mediaSession();
        if (!session) {
            return;
        }
        try {
            session.metadata = new global.MediaMetadata({ title: player.title(), artist: doc.title || "" });
        } catch (e) {
            return;
        }
        var seekBy = function (sign) {
            return function (details) {
                seekTo(player, player.audio.currentTime + sign * ((details && details.seekOffset) || 5));
            };
        };
        var handlers = {
            play: function () {
                player.play();
            },
            pause: function () {
                player.pause();
            },
            stop: function () {
                player.silence();
            },
            seekbackward: seekBy(-1),
            seekforward: seekBy(1),
            seekto: function (details) {
                seekTo(player, details.seekTime);
            },
            previoustrack: player.previous ? function () {
                player.previous();
            } : null,
            nexttrack: player.next ? function () {
                player.next();
            } : null
        };
        for (var name in handlers) {
            try {
                session.setActionHandler(name, handlers[name]);
            } catch (e) {
                // An action this browser does not know.
            }
        }
        session.playbackState = "playing";
        sounding = player;
    }

    function positionState(player) {
        var session = mediaSession();
        var audio = player.audio;
        var duration = durationOf(audio);
        if (session && session.setPositionState && sounding === player && !isNaN(duration)) {
            try {
                session.setPositionState({ duration: duration, playbackRate: audio.playbackRate || 1,
                    position: Math.min(duration, audio.currentTime) });
            } catch (e) {
                // A position the browser refuses.
            }
        }
    }

    // Calls audio.play() (after a new load when the last one failed); reports a refusal by
    // the browser's auto play rule through blocked(), once. A failure of the file itself
    // arrives as the element's error event instead.
    function startPlaying(audio, blocked) {
        var result;
        if (audio.error) {
            audio.load();
        }
        try {
            result = audio.play();
        } catch (e) {
            blocked(e);
            return;
        }
        if (result && typeof result.then === "function") {
            result.then(null, function (e) {
                if ((!e || e.name !== "AbortError") && !audio.error) {
                    blocked(e);
                }
            });
        }
    }

    function setVolume(player, percent) {
        percent = Math.max(0, Math.min(100, percent));
        player.audio.volume = percent / 100;
        return percent;
    }

    // ---- single button ----

    function Button(so, container) {
        addStyle();
        var self = this;
        var width = sizeOf(so, "width", 68);
        var height = sizeOf(so, "height", 22);
        // Too narrow for both the icon and "Click to play".
        var root = element("div", "tmbr-sa tmbr-button" + (width < 110 ? " tmbr-narrow" : ""), container);
        root.setAttribute("role", "group");
        root.style.width = width + "px";
        root.style.height = height + "px";
        var colour = cssColour(so.getVariable("c")) || "#333333";
        root.style.background = colour;
        root.style.color = textOn(colour);
        this.root = root;
        this.file = so.getVariable("f");
        this.audio = element("audio", null, root);
        this.audio.preload = "metadata";
        this.audio.loop = so.getVariable("l") === "Yes";
        this.audio.src = this.file;
        this.button = makeButton("tmbr-toggle", "Play", root);
        this.button.style.minWidth = height + "px";
        addSeekBar(this, root);
        // Narrow buttons give the time as a tooltip and in their name only.
        this.clock = width >= 120 ? element("span", "tmbr-clock", root) : null;
        this.button.addEventListener("click", function () {
            self.toggle();
        });
        this.audio.addEventListener("playing", function () {
            // A "playing" queued before a stop arrives after it.
            if (!self.audio.paused) {
                self.show("playing");
            }
        });
        this.audio.addEventListener("waiting", function () {
            if (self.state === "playing") {
                self.show("buffering");
            }
        });
        this.audio.addEventListener("ended", function () {
            self.show("stopped");
        });
        this.audio.addEventListener("error", function () {
            self.show("error");
        });
        register(this);
        this.show("stopped");
        showProgress(this);
        if (so.getVariable("m") === "Auto") {
            this.play();
        }
    }

    Button.prototype.title = function () {
        var name = this.file.split(/[?#]/)[0].split("/").pop();
        try {
            return decodeURIComponent(name);
        } catch (e) {
            return name;
        }
    };

    Button.prototype.toggle = function () {
        if (this.state === "playing" || this.state === "buffering") {
            this.silence();
        } else {
            this.play();
        }
    };

    Button.prototype.play = function () {
        var self = this;
        this.show("buffering");
        startPlaying(this.audio, function () {
            self.show("blocked");
        });
    };

    Button.prototype.silence = function () {
        this.audio.pause();
        if (this.audio.readyState > 0) {
            this.audio.currentTime = 0;
        }
        if (this.state !== "error") {
            this.show("stopped");
        }
    };

    Button.prototype.pause = Button.prototype.silence;

    Button.prototype.setVolume = function (percent) {
        setVolume(this, percent);
    };

    Button.prototype.showTime = function (now, duration, text) {
        var label = "Audio player, " + (isNaN(duration) ? clock(now) : text);
        this.root.setAttribute("aria-label", label);
        if (this.clock) {
            this.clock.textContent = clock(now) + " / " + clock(duration);
        } else {
            this.root.title = label;
        }
    };

    var BUTTON_STATES = {
        stopped: ["Play", "play", ""],
        playing: ["Stop", "stop", ""],
        buffering: ["Stop", "wait", ""],
        blocked: ["Click to play", "play", "Click to play"],
        error: ["Audio file could not be loaded", "stop", "!"]
    };

    Button.prototype.show = function (state) {
        var look = BUTTON_STATES[state];
        this.state = state;
        this.root.setAttribute("data-state", state);
        this.root.setAttribute("aria-busy", String(state === "buffering"));
        this.button.setAttribute("aria-label", look[0]);
        this.button.title = look[0];
        this.button.innerHTML = icon(look[1]) + (look[2] ? "<span>" + look[2] + "</span>" : "");
    };

    // ---- jukebox ----

    function decodeEntities(text) {
        return text.replace(/&(#x[0-9a-f]+|#[0-9]+|amp|lt|gt|quot|apos);/gi, function (all, name) {
            var lower = name.toLowerCase();
            if (lower.charAt(0) === "#") {
                var code = lower.charAt(1) === "x" ? parseInt(lower.slice(2), 16) : parseInt(lower.slice(1), 10);
                return code > 0 && code < 0x110000 ? String.fromCodePoint(code) : all;
            }
            return { amp: "&", lt: "<", gt: ">", quot: '"', apos: "'" }[lower];
        });
    }

    // The options and playlist of a settings file, read line by line so that a file whose
    // names carry a bare "&" or '"' still reads.
    function parseSettings(text) {
        var settings = { options: {}, tracks: [] };
        var option = /<(A[M-R])>([^<]*)<\/\1>/g;
        var match;
        while ((match = option.exec(text)) !== null) {
            settings.options[match[1]] = decodeEntities(match[2]);
        }
        var lines = text.split(/\r?\n/);
        for (var i = 0; i < lines.length; i++) {
            match = /<audio display="(.*)" url="(.*?)"\s*\/>/.exec(lines[i]);
            if (match) {
                settings.tracks.push({ name: decodeEntities(match[1]), url: decodeEntities(match[2]) });
            }
        }
        return settings;
    }

    // How long a track that failed is shown before auto progress goes on to the next.
    var SKIP_DELAY = 2000;
    // How many of the tracks after the current one have their length read ahead.
    var LOOK_AHEAD = 3;

    function Jukebox(so, container) {
        addStyle();
        var self = this;
        var root = element("div", "tmbr-sa tmbr-jukebox tmbr-loading", container);
        root.setAttribute("role", "region");
        root.setAttribute("aria-label", "Jukebox");
        root.setAttribute("aria-busy", "true");
        root.style.width = sizeOf(so, "width", 300) + "px";
        root.style.height = sizeOf(so, "height", 200) + "px";
        this.root = root;
        this.head = element("div", "tmbr-head", root);
        var line = element("div", "tmbr-line", this.head);
        this.now = element("div", "tmbr-now", line);
        this.now.setAttribute("aria-live", "polite");
        this.now.textContent = "Loading playlist\u2026";
        this.clock = element("span", "tmbr-clock", line);
        this.audio = element("audio", null, root);
        this.audio.preload = "metadata";
        this.tracks = [];
        this.current = -1;
        this.history = [];
        register(this);

        var request = new XMLHttpRequest();
        request.onreadystatechange = function () {
            if (request.readyState !== 4) {
                return;
            }
            var settings = request.status >= 200 && request.status < 300 ? parseSettings(request.responseText) : null;
            root.className = root.className.replace(" tmbr-loading", "");
            root.removeAttribute("aria-busy");
            if (!settings || settings.tracks.length === 0) {
                self.now.textContent = "The playlist could not be loaded.";
                self.now.setAttribute("role", "alert");
                return;
            }
            self.build(settings);
        };
        request.open("GET", so.getVariable("loc") + "settings_as.xml");
        request.send();
    }

    Jukebox.prototype.build = function (settings) {
        var self = this;
        var o = settings.options;
        this.tracks = settings.tracks;
        this.autoProgress = o.AN !== "No";
        this.random = o.AO === "Yes";
        this.failures = 0;
        var colour = cssColour(o.AR);
        if (colour) {
            this.head.style.background = colour;
            this.head.style.color = textOn(colour);
        } else {
            this.head.style.background = "#2d3e50";
            this.head.style.color = "#fff";
        }
        if (o.AQ === "Yes") {
            this.root.className += " tmbr-bold";
        }

        addSeekBar(this, element("div", "tmbr-seekrow", this.head));
        var bar = element("div", "tmbr-bar", this.head);
        var prev = makeButton("tmbr-prev", "Previous track", bar);
        prev.innerHTML = icon("prev");
        this.playButton = makeButton("tmbr-play", "Play", bar);
        var next = makeButton("tmbr-next", "Next track", bar);
        next.innerHTML = icon("next");
        bar.insertAdjacentHTML("beforeend", icon("volume"));
        var volume = element("input", "tmbr-range tmbr-volume", bar);
        volume.type = "range";
        volume.min = "0";
        volume.max = "100";
        volume.step = "5";
        volume.setAttribute("aria-label", "Volume");
        volume.title = "Volume";
        this.volumeSlider = volume;
        var level = parseInt(o.AP, 10);
        this.setVolume(isNaN(level) ? 50 : level);
        volume.addEventListener("input", function () {
            self.setVolume(Number(volume.value));
        });

        this.list = element("ul", "tmbr-list", this.root);
        this.list.setAttribute("aria-label", "Playlist");
        this.items = [];
        for (var i = 0; i < this.tracks.length; i++) {
            var item = makeButton(null, this.tracks[i].name, element("li", null, this.list));
            item.removeAttribute("aria-label");
            element("span", "tmbr-name", item).textContent = this.tracks[i].name;
            item.addEventListener("click", this.chooser(i));
            this.items.push(item);
        }

        prev.addEventListener("click", function () {
            self.previous();
        });
        next.addEventListener("click", function () {
            self.next();
        });
        this.playButton.addEventListener("click", function () {
            self.toggle();
        });
        this.audio.addEventListener("playing", function () {
            if (!self.audio.paused) {
                self.failures = 0;
                self.markFailed(self.current, false);
                self.show("playing");
            }
        });
        this.audio.addEventListener("waiting", function () {
            if (self.state === "playing") {
                self.show("buffering");
            }
        });
        this.audio.addEventListener("pause", function () {
            if (self.state === "playing" || self.state === "buffering") {
                self.show("paused");
            }
        });
        this.audio.addEventListener("durationchange", function () {
            self.showLength(self.current, durationOf(self.audio));
        });
        this.audio.addEventListener("error", function () {
            // A track that fails before anyone asked for it is only marked in the list.
            self.markFailed(self.current, true);
            self.show(self.wanted ? "error" : "paused");
            // A track that cannot be played does not stop the jukebox; a list of nothing but
            // such tracks stops after one round.
            if (self.wanted && self.autoProgress && ++self.failures < self.tracks.length) {
                self.skipTimer = global.setTimeout(function () {
                    self.advance();
                }, SKIP_DELAY);
            }
        });
        this.audio.addEventListener("ended", function () {
            if (self.autoProgress) {
                self.advance();
            } else {
                self.show("paused");
            }
        });

        this.select(this.random ? this.randomIndex() : 0, false);
        if (o.AM === "Yes") {
            this.play();
        }
    };

    Jukebox.prototype.chooser = function (index) {
        var self = this;
        return function () {
            self.select(index, true);
        };
    };

    Jukebox.prototype.randomIndex = function () {
        var n = this.tracks.length;
        if (n < 2) {
            return 0;
        }
        // Any track but the current one.
        var pick = Math.floor(Math.random() * (this.current >= 0 ? n - 1 : n));
        return this.current >= 0 && pick >= this.current ? pick + 1 : pick;
    };

    Jukebox.prototype.nextIndex = function () {
        return this.random ? this.randomIndex() : (this.current + 1) % this.tracks.length;
    };

    Jukebox.prototype.previousIndex = function () {
        if (this.random && this.history.length > 0) {
            return this.history.pop();
        }
        return (this.current - 1 + this.tracks.length) % this.tracks.length;
    };

    Jukebox.prototype.next = function () {
        this.select(this.nextIndex(), true);
    };

    Jukebox.prototype.previous = function () {
        this.select(this.previousIndex(), true);
    };

    // After the end of a track, or a track that failed: the next one, except that the end of
    // the list goes back to the first track without playing on.
    Jukebox.prototype.advance = function () {
        var after = this.nextIndex();
        if ((!this.random && after === 0) || this.tracks.length < 2) {
            this.select(0, false);
        } else {
            this.select(after, true);
        }
    };

    // Makes track `index` the current one; plays it when `play` is true.
    Jukebox.prototype.select = function (index, play) {
        global.clearTimeout(this.skipTimer);
        if (index !== this.current) {
            if (this.current >= 0) {
                this.items[this.current].removeAttribute("aria-current");
                if (this.random && this.history.length < 100) {
                    this.history.push(this.current);
                }
            }
            this.current = index;
            this.items[index].setAttribute("aria-current", "true");
            this.scrollTo(this.items[index]);
            this.audio.src = this.tracks[index].url;
            this.lookAhead();
        } else if (this.audio.readyState > 0) {
            this.audio.currentTime = 0;
        }
        this.state = "";
        if (play) {
            this.play();
        } else {
            this.wanted = false;
            this.audio.pause();
            this.show("paused");
        }
        showProgress(this);
    };

    // Scrolls the playlist, and only the playlist, so that the item is in view.
    Jukebox.prototype.scrollTo = function (item) {
        var list = this.list;
        var top = item.parentNode.offsetTop;
        var bottom = top + item.parentNode.offsetHeight;
        if (top < list.scrollTop) {
            list.scrollTop = top;
        } else if (bottom > list.scrollTop + list.clientHeight) {
            list.scrollTop = bottom - list.clientHeight;
        }
    };

    // Reads the length of the next tracks from their headers (preload "metadata"), one at a
    // time and never the audio itself.
    Jukebox.prototype.lookAhead = function () {
        var self = this;
        if (this.probe) {
            return;
        }
        for (var step = 1; step <= LOOK_AHEAD && step < this.tracks.length; step++) {
            var index = (this.current + step) % this.tracks.length;
            if (!("length" in this.tracks[index])) {
                break;
            }
        }
        if (step > LOOK_AHEAD || step >= this.tracks.length) {
            return;
        }
        var probe = doc.createElement("audio");
        var done = function (failed) {
            return function () {
                if (self.probe !== probe) {
                    return;
                }
                var seconds = durationOf(probe);
                self.probe = null;
                probe.removeAttribute("src");
                probe.load();
                // Asked once per track, whatever the answer.
                self.tracks[index].length = seconds;
                self.showLength(index, seconds);
                self.markFailed(index, failed);
                self.lookAhead();
            };
        };
        this.probe = probe;
        probe.preload = "metadata";
        probe.muted = true;
        probe.addEventListener("loadedmetadata", done(false));
        probe.addEventListener("error", done(true));
        probe.src = this.tracks[index].url;
    };

    Jukebox.prototype.showLength = function (index, seconds) {
        if (index < 0 || isNaN(seconds)) {
            return;
        }
        this.tracks[index].length = seconds;
        var item = this.items[index];
        var text = item.querySelector(".tmbr-clock") || element("span", "tmbr-clock", item);
        text.textContent = clock(Math.round(seconds));
    };

    // Shows on the track's item that it could not be loaded, or no longer.
    Jukebox.prototype.markFailed = function (index, failed) {
        if (index < 0) {
            return;
        }
        var item = this.items[index];
        var note = item.querySelector(".tmbr-fail");
        if (failed && !note) {
            element("span", "tmbr-fail", item).textContent = "Could not be loaded";
        } else if (!failed && note) {
            item.removeChild(note);
        }
    };

    Jukebox.prototype.title = function () {
        return this.current >= 0 ? this.tracks[this.current].name : "";
    };

    Jukebox.prototype.toggle = function () {
        if (this.state === "playing" || this.state === "buffering") {
            this.pause();
        } else {
            this.play();
        }
    };

    Jukebox.prototype.play = function () {
        var self = this;
        if (this.current < 0) {
            return;
        }
        this.wanted = true;
        this.show("buffering");
        startPlaying(this.audio, function () {
            self.show("blocked");
        });
    };

    Jukebox.prototype.pause = function () {
        this.wanted = false;
        this.audio.pause();
    };

    Jukebox.prototype.silence = Jukebox.prototype.pause;

    Jukebox.prototype.setVolume = function (percent) {
        percent = setVolume(this, percent);
        if (this.volumeSlider) {
            this.volumeSlider.value = String(percent);
            this.volumeSlider.style.setProperty("--p", percent + "%");
            this.volumeSlider.style.setProperty("--b", percent + "%");
        }
    };

    Jukebox.prototype.showTime = function (now, duration) {
        this.clock.textContent = this.current < 0 ? "" : clock(now) + " / " + clock(duration);
    };

    Jukebox.prototype.show = function (state) {
        this.state = state;
        this.root.setAttribute("data-state", state);
        var name = this.title();
        var busy = state === "buffering";
        var label = state === "playing" || busy ? "Pause" : state === "blocked" ? "Click to play" : "Play";
        this.playButton.setAttribute("aria-label", label);
        this.playButton.title = label;
        this.playButton.innerHTML = icon(busy ? "wait" : state === "playing" ? "pause" : "play") +
            (state === "blocked" ? "<span>Click to play</span>" : "");
        this.now.textContent = state === "error" ? "Could not play: " + name : name;
        if (busy) {
            this.root.setAttribute("aria-busy", "true");
        } else {
            this.root.removeAttribute("aria-busy");
        }
    };

    global.SWFObject = SWFObject;
}(this));
