/* Everything of the movie that is cut, spills over, leaves the window or
   overlaps another control: a list of problems joined by "; ", empty when the
   layout is sound. A function of one argument, whether the status lines must
   show their whole text too (they may cut a long path by design); written
   without line comments, so that a test can send it as one line:
   (<this file>)(true). Used by tests/movie and tests/e2e/gui_languages.sh. */
((statusLinesWhole) => {
  const width = 593, height = 245;
  const problems = [];
  const root = document.documentElement;
  if (root.scrollWidth > width || root.scrollHeight > height)
    problems.push("page " + root.scrollWidth + "x" + root.scrollHeight);
  const name = (node) => node.id || node.className || node.tagName;
  const cut = (node) => node.scrollWidth > node.clientWidth || node.scrollHeight > node.clientHeight;
  const lines = statusLinesWhole ? ", .info" : "";
  for (const node of document.querySelectorAll("label, button, .option span, .paths, .options, .status, .actions, #movie" + lines)) {
    if (cut(node))
      problems.push("cut " + name(node) + " " + node.scrollWidth + "x" + node.scrollHeight + " in " + node.clientWidth + "x" + node.clientHeight);
  }
  /* The hint of an empty path box shows whole. */
  const measure = document.createElement("canvas").getContext("2d");
  for (const box of document.querySelectorAll("input.path")) {
    if (box.value !== "" || box.placeholder === "") continue;
    const style = getComputedStyle(box);
    measure.font = style.fontWeight + " " + style.fontSize + " " + style.fontFamily;
    const room = box.clientWidth - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight);
    const needed = measure.measureText(box.placeholder).width;
    if (needed > room) problems.push("cut hint of " + box.id + " " + Math.ceil(needed) + " in " + Math.floor(room));
  }
  const boxes = [...document.querySelectorAll(".paths label, input.path, button, .option, .info, .progress")];
  for (const node of boxes) {
    const r = node.getBoundingClientRect();
    if (r.left < 0 || r.top < 0 || r.right > width || r.bottom > height) problems.push("outside " + name(node));
    if (r.width < 1 || r.height < 1) problems.push("no room for " + name(node));
  }
  for (let i = 0; i < boxes.length; ++i) for (let j = i + 1; j < boxes.length; ++j) {
    const a = boxes[i].getBoundingClientRect(), b = boxes[j].getBoundingClientRect();
    if (a.left < b.right - 0.5 && b.left < a.right - 0.5 && a.top < b.bottom - 0.5 && b.top < a.bottom - 0.5)
      problems.push("overlap " + name(boxes[i]) + " " + name(boxes[j]));
  }
  return problems.join("; ");
})
