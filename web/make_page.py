#!/usr/bin/env python3
"""Assembles the one-file page: the template with its styles, script, message texts, logo and the
engine's worker script (the loader with the WebAssembly inside, then the worker's own code) put in
place. The page must open from disk with nothing beside it, so everything goes inline."""
import argparse
import base64
import json
import re
import sys

ACCEPT = ".sdlrpx,.sdlppx,.sdlxliff,.mqxliff,.mqxlz,.mxliff,.xlf,.xliff"


def read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def script_safe(text, what):
    # Inline script text ends at the first "</script" whatever the quoting; a text holding one
    # would cut the page, so the build refuses it rather than ship a broken page.
    if re.search(r"</script", text, re.IGNORECASE):
        sys.exit(f"make_page: {what} contains '</script' and cannot be inlined")
    return text


def main():
    p = argparse.ArgumentParser()
    for name in ("template", "style", "script", "engine", "worker", "messages", "logo", "version", "out"):
        p.add_argument("--" + name, required=True)
    a = p.parse_args()

    messages = json.loads(read(a.messages))
    # JSON inside a script: "</" written as "<\/" keeps any message text from closing the element.
    messages_js = json.dumps(messages, ensure_ascii=False).replace("</", "<\\/")
    values = {
        "STYLE": read(a.style),
        "SCRIPT": script_safe(read(a.script), "the page script"),
        "ENGINE": script_safe(read(a.engine) + "\n" + read(a.worker), "the engine"),
        "MESSAGES": messages_js,
        "LOGO_BASE64": base64.b64encode(read(a.logo).encode("utf-8")).decode("ascii"),
        "VERSION": a.version,
        "ACCEPT": ACCEPT,
    }
    # One pass, so nothing put in is itself searched for markers.
    page = re.sub(r"@([A-Z_0-9]+)@", lambda m: values[m.group(1)] if m.group(1) in values else m.group(0),
                  read(a.template))
    with open(a.out, "w", encoding="utf-8", newline="\n") as f:
        f.write(page)


if __name__ == "__main__":
    main()
