// The movie: Quillfen's window contents. It shows what the program tells it
// (paths, options, status, progress, captions) and turns the user's actions
// into the program's commands.
"use strict";

(function () {
  const external = window.QuillfenExternal;
  const byId = (id) => document.getElementById(id);

  // The components whose captions (and tooltips, "<name>:tooltip") come from
  // the language file, in the order they are asked for.
  const COMPONENTS = [
    "cmbSource", "cmbTarget", "cmdBrowseSource", "cmdBrowseTarget", "lblSource", "lblTarget",
    "chkAutomoving", "chkAutorun", "chkAutoRename", "chkSubfolder", "cmdMove", "cmdPause", "cmdCancel",
    "progress", "lblBackup",
  ];
  // The page's language and the direction of its writing come with the
  // captions, as the values of these two names.
  const PAGE_ATTRIBUTES = ["lang", "dir"];
  const TOOLTIP = ":tooltip";
  const PATH_BOXES = new Map([["cmbSource", "Source"], ["cmbTarget", "Target"]]);
  const OPTIONS = new Map([
    ["chkAutomoving", "Automoving"], ["chkAutorun", "Autorun"],
    ["chkAutoRename", "AutoRename"], ["chkSubfolder", "Subfolder"],
  ]);
  const STATUS_LINES = ["infoFrom", "infoTo", "infoOperation", "infoExtra"];
  const BROWSE = new Map([
    ["cmdBrowseSource", { box: "cmbSource", command: "BrowseForSourceFolder" }],
    ["cmdBrowseTarget", { box: "cmbTarget", command: "BrowseForTargetFolder" }],
  ]);

  // Where each component shows its caption: a path box as its hint, a check
  // box in the text beside it, a Browse button in its text (its name adds
  // the label of its path), the progress bar as its name for screen readers,
  // labels and buttons as their own text.
  const captionTargets = new Map(COMPONENTS.map((name) => [name, byId(name + "Caption") ?? byId(name)]));
  // A status line that changes is read out, but one line at most every so
  // often: a move changes one for every picture.
  const ANNOUNCE_EVERY_MS = 2000;

  // ---- state ------------------------------------------------------------

  let running = false;        // between SwitchControls(false) and SwitchControls(true)
  let commandInHand = false;  // a move or a folder dialog has been asked for and not answered
  const tooltips = new Map();  // control id -> its tooltip
  // The last path of each box that the program knows of: exactly as it is,
  // and as the box shows it (a text box drops line breaks, which a Linux
  // folder name may hold).
  const committedPaths = new Map([["cmbSource", { exact: "", shown: "" }], ["cmbTarget", { exact: "", shown: "" }]]);
  function currentPath(box) {
    const committed = committedPaths.get(box.id);
    return box.value === committed.shown ? committed.exact : box.value;
  }

  // Requests go one after another: a typed path reaches the program before
  // the move that should use it. Pause and Cancel do not wait their turn: the
  // program answers them while a move is still in hand.
  let turn = Promise.resolve();
  function requestInTurn(name, ...args) {
    const reply = turn.then(() => external.send(name, args));
    turn = reply.catch(() => undefined);
    return reply;
  }
  function requestNow(name) {
    return external.send(name, []);
  }
  function report(error) {
    console.error("Quillfen:", error);
  }

  function refreshEnabled() {
    const focused = document.activeElement;
    for (const control of document.querySelectorAll("[data-lockable]")) control.disabled = running;
    for (const id of ["cmdMove", "cmdBrowseSource", "cmdBrowseTarget"]) byId(id).disabled = running || commandInHand;
    byId("cmdPause").disabled = !running;
    byId("cmdCancel").disabled = !running;
    if (focused && focused !== document.body && focused.disabled) focusLost = true;
    if (focusLost) placeFocus();
  }

  // A control that becomes unavailable loses the keyboard focus, which would
  // leave the user nowhere to Tab from: as soon as there is somewhere to go,
  // the focus goes back to where it was before a command, else to what can
  // be used now (Move, or Pause during a move).
  let focusLost = false;
  let focusBeforeCommand = null;
  function placeFocus() {
    const candidates = [focusBeforeCommand, byId(running ? "cmdPause" : "cmdMove")];
    const next = candidates.find((control) => control && !control.disabled);
    if (!next) return;
    focusLost = false;
    next.focus();
  }

  // ---- values from the program ------------------------------------------

  function asText(value) {
    return value === undefined || value === null ? "" : String(value);
  }

  function asBoolean(value) {
    if (typeof value === "boolean") return value;
    if (typeof value === "number") return value !== 0;
    const text = asText(value).trim().toLowerCase();
    if (text === "true") return true;
    if (text === "false" || text === "") return false;
    const number = Number(text);
    return !Number.isNaN(number) && number !== 0;
  }

  // A control's tooltip, with a path box's whole path below it.
  function showTooltip(id) {
    const control = byId(id);
    const lines = [tooltips.get(id), PATH_BOXES.has(id) ? control.value : ""].filter(Boolean);
    control.title = lines.join("\n");
    // A check box's text shows its tooltip too (the text's label is no
    // object of its own for screen readers, which read the tooltip once).
    if (OPTIONS.has(id)) control.parentElement.title = control.title;
  }

  function showPath(name, path) {
    const box = byId(name);
    box.value = path;
    committedPaths.set(name, { exact: path, shown: box.value });
    showTooltip(name);
  }

  const lastAnnounced = new Map();  // status line -> when it was last read out
  const heldBack = new Map();       // status line -> its text, to be read out later
  function announce(name, text) {
    heldBack.delete(name);
    if (text === "") return;
    const since = performance.now() - (lastAnnounced.get(name) ?? -Infinity);
    if (since < ANNOUNCE_EVERY_MS) {
      if (!heldBack.has(name)) setTimeout(() => announceHeld(name), ANNOUNCE_EVERY_MS - since);
      heldBack.set(name, text);
      return;
    }
    lastAnnounced.set(name, performance.now());
    byId("announcer").textContent = text;
  }
  function announceHeld(name) {
    if (heldBack.has(name)) announce(name, heldBack.get(name));
  }

  // The backup folder's line is there only while a folder is set.
  function showBackup(path) {
    const text = byId("txtBackup");
    text.textContent = path;
    text.title = path;
    for (const part of document.querySelectorAll(".backup")) part.hidden = path === "";
  }

  function showStatus(name, text) {
    const line = byId(name);
    line.textContent = text;
    line.title = text;
    announce(name, text);
  }

  function showCaption(name, caption) {
    if (name.endsWith(TOOLTIP)) {
      const id = name.slice(0, -TOOLTIP.length);
      if (!captionTargets.has(id)) return;
      tooltips.set(id, caption);
      return showTooltip(id);
    }
    const target = captionTargets.get(name);
    if (!target) return;
    if (PATH_BOXES.has(name)) target.placeholder = caption;
    else if (name === "progress") target.setAttribute("aria-label", caption);
    else target.textContent = caption;
  }

  function showPageAttribute(name, value) {
    const page = document.documentElement;
    if (name === "dir" && (value === "rtl" || value === "ltr")) page.dir = value;
    else if (name === "lang" && /^[A-Za-z]{2,3}(-[A-Za-z0-9]{2,8})*$/.test(value)) page.lang = value;
  }

  function showCaptions(captions) {
    if (!(captions instanceof Map)) throw new TypeError("captions come as an array of name and text");
    for (const [name, caption] of captions) {
      if (PAGE_ATTRIBUTES.includes(name)) showPageAttribute(name, asText(caption));
      else showCaption(name, asText(caption));
    }
  }

  // ---- the four functions the program calls ------------------------------

  function setProgress(value) {
    let percent = Math.trunc(Number(value));
    if (!Number.isFinite(percent)) percent = 0;
    percent = Math.min(100, Math.max(0, percent));
    const bar = byId("progress");
    bar.style.setProperty("--percent", String(percent));
    bar.setAttribute("aria-valuenow", String(percent));
    bar.setAttribute("aria-valuetext", percent + "%");
    for (const text of bar.querySelectorAll(".progress-text")) text.textContent = percent + "%";
  }

  function setValue(name, value, kind) {
    name = asText(name);
    switch (Number(kind)) {
      case 1:
        if (PATH_BOXES.has(name)) return showPath(name, asText(value));
        if (name === "txtBackup") return showBackup(asText(value));
        if (STATUS_LINES.includes(name)) return showStatus(name, asText(value));
        if (captionTargets.has(name)) return showCaption(name, asText(value));
        break;
      case 2:
        if (captionTargets.has(name)) return showCaption(name, asText(value));
        break;
      case 4:
        // Set by the program: not the user's change, so nothing is sent back.
        if (OPTIONS.has(name)) return void (byId(name).checked = asBoolean(value));
        break;
    }
    throw new Error("no control " + name + " of kind " + kind);
  }

  function renameControls(captions) {
    showCaptions(captions);
  }

  function switchControls(enabled) {
    running = !asBoolean(enabled);
    refreshEnabled();
  }

  external.offer("setProgress", setProgress);
  external.offer("setValue", setValue);
  external.offer("renameControls", renameControls);
  external.offer("SwitchControls", switchControls);

  // ---- the user's actions -----------------------------------------------

  function commitPath(box) {
    const typed = box.value;
    if (typed === committedPaths.get(box.id).shown) return;
    committedPaths.set(box.id, { exact: typed, shown: typed });
    showTooltip(box.id);
    requestInTurn("SetPath", PATH_BOXES.get(box.id), typed).catch(report);
  }

  function watchPathBox(box) {
    box.addEventListener("keydown", (event) => {
      if (event.key === "Enter") {
        event.preventDefault();
        commitPath(box);
      } else if (event.key === "Escape") {
        box.value = committedPaths.get(box.id).shown;
      }
    });
    box.addEventListener("change", () => commitPath(box));
    box.addEventListener("blur", () => commitPath(box));
  }

  // A move or a folder dialog at a time: a second click while one is in hand
  // must not start a second move inside the first.
  async function runCommand(name, ...args) {
    if (commandInHand) return undefined;
    focusBeforeCommand = document.activeElement;
    commandInHand = true;
    refreshEnabled();
    try {
      return await requestInTurn(name, ...args);
    } finally {
      commandInHand = false;
      refreshEnabled();
      focusBeforeCommand = null;
    }
  }

  async function browse(buttonId) {
    const { box, command } = BROWSE.get(buttonId);
    commitPath(byId(box));
    const reply = await runCommand(command, currentPath(byId(box)));
    if (reply === undefined) return;
    // An empty reply: the dialog was cancelled and the path stays.
    const chosen = external.decodeReply(reply);
    if (typeof chosen === "string" && chosen !== "") showPath(box, chosen);
  }

  function watchControls() {
    for (const name of PATH_BOXES.keys()) watchPathBox(byId(name));
    for (const [name, setting] of OPTIONS) {
      const box = byId(name);
      box.addEventListener("change", () => {
        requestInTurn("SavePreset", setting, box.checked ? "true" : "false").catch(report);
      });
    }
    for (const buttonId of BROWSE.keys()) {
      byId(buttonId).addEventListener("click", () => browse(buttonId).catch(report));
    }
    byId("cmdMove").addEventListener("click", () => runCommand("StartOperationX").catch(report));
    byId("cmdPause").addEventListener("click", () => requestNow("PauseOperationX").catch(report));
    byId("cmdCancel").addEventListener("click", () => requestNow("CancelOperationX").catch(report));
  }

  // Tab goes round the controls, as in any window, instead of leaving the
  // page for a stop where nothing has the focus.
  function keepTabInside(event) {
    if (event.key !== "Tab" || event.altKey || event.ctrlKey || event.metaKey) return;
    const stops = [...document.querySelectorAll("input, button")].filter((control) => !control.disabled);
    if (stops.length === 0) return;
    const [first, last] = [stops[0], stops[stops.length - 1]];
    const wrapTo = event.shiftKey ? (document.activeElement === first ? last : null)
                                  : (document.activeElement === last ? first : null);
    if (!wrapTo) return;
    event.preventDefault();
    wrapTo.focus();
  }

  // A utility window, not a document: no text selection outside the path
  // boxes, no dragging, and nothing dropped on it is opened.
  function behaveLikeAWindow() {
    document.addEventListener("keydown", keepTabInside);
    const inPathBox = (event) => event.target instanceof HTMLInputElement && event.target.type === "text";
    document.addEventListener("contextmenu", (event) => { if (!inPathBox(event)) event.preventDefault(); });
    document.addEventListener("dragstart", (event) => { if (!inPathBox(event)) event.preventDefault(); });
    document.addEventListener("dragover", (event) => {
      event.preventDefault();
      if (event.dataTransfer) event.dataTransfer.dropEffect = "none";
    });
    document.addEventListener("drop", (event) => event.preventDefault());
  }

  // ---- start ------------------------------------------------------------

  async function start() {
    try {
      const names = COMPONENTS.concat(PAGE_ATTRIBUTES).join(":");
      const captions = external.decodeReply(await requestInTurn("GetFormStrings", names));
      if (captions !== undefined) showCaptions(captions);
    } catch (error) {
      report(error);
    }
    // Asked for even when the captions failed: the program shows the movie
    // only once it has been asked for the settings.
    requestInTurn("LoadSettings").catch(report);
  }

  behaveLikeAWindow();
  watchControls();
  setProgress(0);
  refreshEnabled();
  start();
})();
