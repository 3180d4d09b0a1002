#!/usr/bin/env python3
"""The docs work as written: every korvane-sim script block of README.md, CONTRIBUTING.md and
docs/*.md runs and exits 0, or N where its fence says ```kvs exit=N (a block is a script when
it is fenced as kvs or each of its lines is a command), and every repository path the docs
name exists.
  docs_run.py KORVANE_SIM SOURCE_DIR"""
import glob, os, re, subprocess, sys

sim, root = sys.argv[1], sys.argv[2]
TOP = r"(?:\.ci|app|assets|cmake|dialogs|windows|docs|engine|hall|input|packaging|script|sound|tests|tools|web)"
# A word the docs write for "fill in your own" (SUBJECT, NAME, FILE...) is no real path.
PLACEHOLDER = re.compile(r"[A-Z]{3,}|\.\.\.")
failures = []
# The commands are those of docs/korvane-sim.md's table (which a test holds to the code's own).
table = open(os.path.join(root, "docs/korvane-sim.md"), encoding="utf-8").read()
table = re.search(r"^\| Command \| Effect \|\n(.*?)\n\n", table, re.S | re.M).group(1)
words = re.findall(r"^\| `([a-z-]+)[ `]", table, re.M)
words += re.findall(r"^\| `[a-z-]+` / `([a-z-]+)`", table, re.M)
COMMAND = re.compile(r"^(at \d+|" + "|".join(sorted(set(words), key=len, reverse=True)) + r")\b")

def paths_in(text, here):
    names = re.findall(r"(?<![\w./-])(" + TOP + r"/[\w./*-]*)", text)
    names += [os.path.join(here, t) for t in re.findall(r"\]\(([^)#:]+)(?:#[^)]*)?\)", text)]
    names = [n.rstrip(".,;:") for n in names if not PLACEHOLDER.search(n)]
    # "web/page.h/.cpp" names both files.
    return [m for n in names for m in re.sub(r"^(.*)\.(\w+)/\.(\w+)$", r"\1.\2 \1.\3", n).split()]

docs = ["README.md", "CONTRIBUTING.md"] + sorted(os.path.relpath(p, root)
                                               for p in glob.glob(os.path.join(root, "docs/*.md")))
blocks = 0
for doc in docs:
    text = open(os.path.join(root, doc), encoding="utf-8").read()
    for name in sorted(set(paths_in(text, os.path.dirname(doc)))):
        if not glob.glob(os.path.join(root, os.path.normpath(name))):
            failures.append(f"{doc} names {name}, which does not exist")
    for fence, body in re.findall(r"^```([^\n]*)\n(.*?)^```", text, re.S | re.M):
        lines = [l for l in body.splitlines() if l.strip() and not l.startswith("#")]
        if not fence.startswith("kvs") and not (lines and all(COMMAND.match(l) for l in lines)):
            continue
        blocks += 1
        want = int(re.search(r"exit=(\d+)", fence).group(1)) if "exit=" in fence else 0
        run = subprocess.run([sim, "-"], input=body, capture_output=True, text=True, timeout=120)
        if run.returncode != want:
            last = (run.stdout.strip().splitlines() or [""])[-1]
            failures.append(f"{doc}: the block `{lines[0]}` exits {run.returncode}, not {want}: "
                            f"{run.stderr.strip()} {last}")

print("\n".join(failures) or f"{blocks} script blocks ran, every named path exists")
sys.exit(1 if failures or not blocks else 0)
