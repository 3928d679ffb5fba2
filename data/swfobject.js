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
 * Only one player of a page sounds at a time. When the browser blocks playing without a
 * click, the player says "Click to play" and starts on the next click.
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
        ".tmbr-button{display:flex;align-items:center;justify-content:center;gap:4px;padding:0 6px;" +
        "border-radius:4px;font-size:11px;white-space:nowrap;overflow:hidden}" +
        ".tmbr-button svg{width:12px;height:12px}" +
        ".tmbr-jukebox{display:inline-flex;flex-direction:column;border:1px solid #888;border-radius:6px;" +
        "overflow:hidden;background:#fff;color:#111}" +
        ".tmbr-head{padding:6px 8px}" +
        ".tmbr-now{white-space:nowrap;overflow:hidden;text-overflow:ellipsis;font-weight:600}" +
        ".tmbr-bar{display:flex;align-items:center;gap:4px;margin-top:4px}" +
        ".tmbr-bar button{min-width:32px;height:32px;border-radius:16px;background:rgba(255,255,255,.25);" +
        "display:inline-flex;align-items:center;justify-content:center;gap:4px;padding:0 8px}" +
        ".tmbr-bar input{flex:1;min-width:40px;height:32px;margin:0 0 0 4px}" +
        ".tmbr-list{list-style:none;margin:0;padding:2px 0;overflow:auto;flex:1}" +
        ".tmbr-list button{display:block;width:100%;text-align:left;padding:6px 8px;min-height:32px;" +
        "background:none;border-bottom:1px solid #eee}" +
        ".tmbr-list button[aria-current]{background:#e8eef8}" +
        ".tmbr-list button:focus-visible{outline-offset:-3px}" +
        ".tmbr-bold .tmbr-list button{font-weight:bold}";

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
        next: "M12 2h2v12h-2zM2 2v12l9-6z"
    };

    function icon(name) {
        return '<svg viewBox="0 0 16 16" aria-hidden="true" focusable="false"><path d="' + ICONS[name] + '"/></svg>';
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

    // Every player of the page; a player that starts makes the others stop.
    var players = [];

    function register(player) {
        players.push(player);
        player.audio.addEventListener("play", function () {
            for (var i = 0; i < players.length; i++) {
                if (players[i] !== player) {
                    players[i].silence();
                }
            }
        });
    }

    // Calls audio.play(); reports a refusal by the browser's auto play rule (or any other
    // failure) through blocked(error), once.
    function startPlaying(audio, blocked) {
        var result;
        try {
            result = audio.play();
        } catch (e) {
            blocked(e);
            return;
        }
        if (result && typeof result.then === "function") {
            result.then(null, function (e) {
                if (!e || e.name !== "AbortError") {
                    blocked(e);
                }
            });
        }
    }

    // ---- single button ----

    function Button(so, container) {
        addStyle();
        var self = this;
        this.audio = element("audio", null, container);
        this.audio.preload = "none";
        this.audio.loop = so.getVariable("l") === "Yes";
        this.audio.src = so.getVariable("f");
        this.button = makeButton("tmbr-sa tmbr-button", "Play", container);
        var style = this.button.style;
        style.width = sizeOf(so, "width", 68) + "px";
        style.height = sizeOf(so, "height", 22) + "px";
        var colour = cssColour(so.getVariable("c")) || "#333333";
        style.background = colour;
        style.color = textOn(colour);
        this.button.addEventListener("click", function () {
            if (self.state === "playing") {
                self.silence();
            } else {
                self.play();
            }
        });
        this.audio.addEventListener("playing", function () {
            self.show("playing");
        });
        this.audio.addEventListener("ended", function () {
            self.show("stopped");
        });
        this.audio.addEventListener("error", function () {
            self.show("error");
        });
        register(this);
        this.show("stopped");
        if (so.getVariable("m") === "Auto") {
            this.play();
        }
    }

    Button.prototype.play = function () {
        var self = this;
        this.show("playing");
        startPlaying(this.audio, function () {
            self.show(self.audio.error ? "error" : "blocked");
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

    var BUTTON_STATES = {
        stopped: ["Play", "play", ""],
        playing: ["Stop", "stop", ""],
        blocked: ["Click to play", "play", "Click to play"],
        error: ["Audio file could not be loaded", "stop", "!"]
    };

    Button.prototype.show = function (state) {
        var look = BUTTON_STATES[state];
        this.state = state;
        this.button.setAttribute("data-state", state);
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

    function Jukebox(so, container) {
        addStyle();
        var self = this;
        var root = element("div", "tmbr-sa tmbr-jukebox", container);
        root.setAttribute("role", "region");
        root.setAttribute("aria-label", "Jukebox");
        root.style.width = sizeOf(so, "width", 300) + "px";
        root.style.height = sizeOf(so, "height", 200) + "px";
        this.root = root;
        this.head = element("div", "tmbr-head", root);
        this.now = element("div", "tmbr-now", this.head);
        this.now.setAttribute("aria-live", "polite");
        this.now.textContent = "Loading playlist\u2026";
        this.audio = element("audio", null, root);
        this.audio.preload = "none";
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

        var bar = element("div", "tmbr-bar", this.head);
        var prev = makeButton("tmbr-prev", "Previous track", bar);
        prev.innerHTML = icon("prev");
        this.playButton = makeButton("tmbr-play", "Play", bar);
        var next = makeButton("tmbr-next", "Next track", bar);
        next.innerHTML = icon("next");
        var volume = element("input", "tmbr-volume", bar);
        volume.type = "range";
        volume.min = "0";
        volume.max = "100";
        volume.step = "5";
        volume.setAttribute("aria-label", "Volume");
        volume.title = "Volume";
        var level = parseInt(o.AP, 10);
        level = isNaN(level) ? 50 : Math.max(0, Math.min(100, level));
        volume.value = String(level);
        this.audio.volume = level / 100;
        volume.addEventListener("input", function () {
            self.audio.volume = Number(volume.value) / 100;
        });

        var list = element("ul", "tmbr-list", this.root);
        list.setAttribute("aria-label", "Playlist");
        this.items = [];
        for (var i = 0; i < this.tracks.length; i++) {
            var item = makeButton(null, this.tracks[i].name, element("li", null, list));
            item.removeAttribute("aria-label");
            item.textContent = this.tracks[i].name;
            item.addEventListener("click", this.chooser(i));
            this.items.push(item);
        }

        prev.addEventListener("click", function () {
            self.select(self.previousIndex(), true);
        });
        next.addEventListener("click", function () {
            self.select(self.nextIndex(), true);
        });
        this.playButton.addEventListener("click", function () {
            if (self.state === "playing") {
                self.audio.pause();
            } else {
                self.play();
            }
        });
        this.audio.addEventListener("playing", function () {
            self.show("playing");
        });
        this.audio.addEventListener("pause", function () {
            if (self.state === "playing") {
                self.show("paused");
            }
        });
        this.audio.addEventListener("error", function () {
            self.show("error");
        });
        this.audio.addEventListener("ended", function () {
            var after = self.nextIndex();
            if (!self.autoProgress) {
                self.show("paused");
            } else if ((!self.random && after === 0) || self.tracks.length < 2) {
                // The end of the list: back to the first track, without playing on.
                self.select(0, false);
            } else {
                self.select(after, true);
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

    // Makes track `index` the current one; plays it when `play` is true.
    Jukebox.prototype.select = function (index, play) {
        if (index !== this.current) {
            if (this.current >= 0) {
                this.items[this.current].removeAttribute("aria-current");
                if (this.random && this.history.length < 100) {
                    this.history.push(this.current);
                }
            }
            this.current = index;
            this.items[index].setAttribute("aria-current", "true");
            this.audio.src = this.tracks[index].url;
        } else if (this.audio.readyState > 0) {
            this.audio.currentTime = 0;
        }
        this.state = "";
        if (play) {
            this.play();
        } else {
            this.audio.pause();
            this.show("paused");
        }
    };

    Jukebox.prototype.play = function () {
        var self = this;
        this.show("playing");
        startPlaying(this.audio, function () {
            self.show(self.audio.error ? "error" : "blocked");
        });
    };

    Jukebox.prototype.silence = function () {
        this.audio.pause();
    };

    Jukebox.prototype.show = function (state) {
        this.state = state;
        this.root.setAttribute("data-state", state);
        var name = this.current >= 0 ? this.tracks[this.current].name : "";
        var label = state === "playing" ? "Pause" : state === "blocked" ? "Click to play" : "Play";
        this.playButton.setAttribute("aria-label", label);
        this.playButton.title = label;
        this.playButton.innerHTML = icon(state === "playing" ? "pause" : "play") +
            (state === "blocked" ? "<span>Click to play</span>" : "");
        this.now.textContent = state === "error" ? "Could not play: " + name : name;
    };

    global.SWFObject = SWFObject;
}(this));
