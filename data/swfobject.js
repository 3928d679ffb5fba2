/*
 * SWFObject: writes the markup that embeds a Flash movie into an element of the page.
 *
 *   var so = new SWFObject("player.swf", "ab0509", "75", "25", "7", "#FFFFFF");
 *   so.addVariable("f", "song.mp3");
 *   so.write("player");
 *
 * Plain ES5 without dependencies. Values are text; the markup escapes them for HTML
 * attributes. When the page has no Flash player of the required version, write() hands
 * over to SWFObject.renderWithoutPlayer, the one place a player-free renderer plugs in.
 */
(function (global) {
    "use strict";

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
        if (!Object.prototype.hasOwnProperty.call(this.values, name)) {
            this.names.push(name);
        }
        this.values[name] = value;
    };

    OrderedMap.prototype.get = function (name) {
        return Object.prototype.hasOwnProperty.call(this.values, name) ? this.values[name] : "";
    };

    // swf: movie URL; id: element id and name of the movie; width, height: pixels or
    // percentages as text; version: lowest player version ("7" or "7.0.0");
    // color: background colour such as "#FFFFFF", optional.
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
    // Returns true when the element received markup, false when there is no such element.
    SWFObject.prototype.write = function (elementId) {
        var element = typeof elementId === "string" ? global.document.getElementById(elementId) : elementId;
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

    // Renders a movie for a browser without a suitable player. Until a player-free renderer
    // exists the embed markup is written all the same, so the page keeps the player's place
    // and the browser can offer what it has for Flash content.
    SWFObject.renderWithoutPlayer = function (so, element) {
        element.innerHTML = so.getSWFHTML();
        return true;
    };

    global.SWFObject = SWFObject;
}(this));
