// The movie's side of the external interface.
//
// Every call in either direction is one "invoke" XML text. The movie's
// requests go to the program through the "quillfen" message handler, whose
// promise brings the program's reply text. The program's calls arrive through
// externalCall(request), with the request handed over as a string argument:
// it is parsed as XML data, never run as code.
"use strict";

(function (global) {
  // ---- writing ----------------------------------------------------------

  // A reader turns a raw CR into LF (and tab, LF, CR into spaces in an
  // attribute), so those travel as character references, as the program
  // writes them too: a folder name reaches the program unchanged.
  function escapeText(text) {
    return text.replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;").replace(/\r/g, "&#13;");
  }

  function escapeAttribute(text) {
    return text.replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/"/g, "&quot;")
      .replace(/\t/g, "&#9;").replace(/\n/g, "&#10;").replace(/\r/g, "&#13;");
  }

  // An element without content is written in its short form, as the program
  // writes it: <arguments/>, <string/>.
  function element(name, content) {
    return content === "" ? "<" + name + "/>" : "<" + name + ">" + content + "</" + name + ">";
  }

  function encodeMembers(pairs) {
    let members = "";
    for (const [id, value] of pairs) {
      members += '<property id="' + escapeAttribute(String(id)) + '">' + encodeValue(value) + "</property>";
    }
    return element("array", members);
  }

  function encodeValue(value) {
    switch (typeof value) {
      case "string":
        return element("string", escapeText(value));
      case "number":
        if (!Number.isFinite(value)) throw new TypeError("a number to send must be finite");
        return element("number", String(value));
      case "boolean":
        return value ? "<true/>" : "<false/>";
      case "object":
        if (value instanceof Map) return encodeMembers(value.entries());
        if (Array.isArray(value)) return encodeMembers(value.entries());
        if (value !== null) return encodeMembers(Object.entries(value));
        break;
    }
    throw new TypeError("no XML form for a value of type " + typeof value);
  }

  function encodeInvoke(name, args) {
    return '<invoke name="' + escapeAttribute(name) + '" returntype="xml">' +
        element("arguments", args.map(encodeValue).join("")) + "</invoke>";
  }

  // ---- reading ----------------------------------------------------------

  function parseXml(text) {
    const doc = new DOMParser().parseFromString(text, "application/xml");
    if (doc.getElementsByTagName("parsererror").length > 0) {
      throw new SyntaxError("not well-formed XML");
    }
    return doc.documentElement;
  }

  // White space between elements is layout, not content.
  function childElements(node) {
    return Array.from(node.childNodes).filter((child) => child.nodeType === Node.ELEMENT_NODE);
  }

  function decodeNumber(node) {
    const text = node.textContent.trim();
    const number = Number(text);
    if (text === "" || Number.isNaN(number)) throw new SyntaxError('"' + text + '" is not a number');
    return number;
  }

  // An array comes back as a Map, so that its members keep their order.
  function decodeArray(node) {
    const members = new Map();
    for (const property of childElements(node)) {
      const content = childElements(property);
      if (property.localName !== "property" || content.length !== 1) {
        throw new SyntaxError("an array holds property elements of one value each");
      }
      members.set(property.getAttribute("id") || "", decodeValue(content[0]));
    }
    return members;
  }

  function decodeValue(node) {
    switch (node.localName) {
      case "string": return node.textContent;
      case "number": return decodeNumber(node);
      case "true": return true;
      case "false": return false;
      case "null": return null;
      case "undefined": return undefined;
      case "array": return decodeArray(node);
    }
    throw new SyntaxError("unknown value element <" + node.localName + ">");
  }

  function decodeInvoke(text) {
    const root = parseXml(text);
    if (root.localName !== "invoke" || !root.hasAttribute("name")) {
      throw new SyntaxError("a call is an <invoke> element with a name");
    }
    const args = childElements(root).find((child) => child.localName === "arguments");
    if (!args) throw new SyntaxError("a call has an <arguments> element");
    return { name: root.getAttribute("name"), args: childElements(args).map(decodeValue) };
  }

  // A reply holding one value: the value, or undefined for an empty reply.
  function decodeReply(text) {
    if (text.trim() === "") return undefined;
    return decodeValue(parseXml(text));
  }

  // ---- talking to the program -------------------------------------------

  function send(name, args) {
    const handlers = global.webkit && global.webkit.messageHandlers;
    const host = handlers && handlers.quillfen;
    if (!host) return Promise.reject(new Error("the movie is not shown by Quillfen"));
    let reply;
    try {
      reply = host.postMessage(encodeInvoke(name, args));
    } catch (error) {
      return Promise.reject(error);
    }
    return Promise.resolve(reply).then((text) => (text === undefined || text === null ? "" : String(text)));
  }

  // The functions the program may call, by name; nothing else is reachable.
  const movieFunctions = new Map();

  function offer(name, fn) {
    movieFunctions.set(name, fn);
  }

  function externalCall(request) {
    if (typeof request !== "string") throw new TypeError("a call is handed over as text");
    const call = decodeInvoke(request);
    const fn = movieFunctions.get(call.name);
    if (!fn) throw new Error("the movie has no function " + call.name);
    fn.apply(null, call.args);
  }

  Object.defineProperty(global, "externalCall", { value: externalCall, writable: false, configurable: false });
  Object.defineProperty(global, "QuillfenExternal", {
    value: Object.freeze({ encodeValue, encodeInvoke, decodeInvoke, decodeReply, send, offer }),
    writable: false,
    configurable: false,
  });
})(window);
