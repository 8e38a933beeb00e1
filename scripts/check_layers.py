#!/usr/bin/env python3
"""Fails when a source file includes a header of a layer above its own.

The layers are the TESSARY_LAYERS list of the root CMakeLists.txt, lowest first: the one place
they are written, and the order the build adds the folders in. A file belongs to the layer whose
folder holds it most closely (skin/core/paint/x.cpp to skin/core/paint, skin/core/fuzz/y.cpp to
skin/core); a quoted include of a file under a layer's folder names that layer. A file may
include headers of its own layer and of the layers listed before it. Folders outside every layer
(tests/, bench/, generated headers) are neither checked nor counted as layers.
  scripts/check_layers.py [source root]
"""
import pathlib
import re
import sys

SOURCE_SUFFIXES = {".h", ".hpp", ".cpp", ".cc", ".c"}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)


def read_layers(root):
    text = (root / "CMakeLists.txt").read_text()
    match = re.search(r"set\(\s*TESSARY_LAYERS\s+([^)]*)\)", text)
    if not match:
        sys.exit("check_layers: no TESSARY_LAYERS list in CMakeLists.txt")
    body = re.sub(r"#[^\n]*", "", match.group(1))
    return body.split()


def layer_of(path, layers):
    """The index of the innermost layer folder holding `path` (a/b/c.h), or None."""
    best = None
    for i, layer in enumerate(layers):
        if path.startswith(layer + "/") and (best is None or len(layer) > len(layers[best])):
            best = i
    return best


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent)
    layers = read_layers(root)
    faults = []
    checked = 0
    for i, layer in enumerate(layers):
        folder = root / layer
        if not folder.is_dir():
            continue
        for f in sorted(folder.rglob("*")):
            if f.suffix not in SOURCE_SUFFIXES or not f.is_file():
                continue
            rel = f.relative_to(root).as_posix()
            if layer_of(rel, layers) != i:
                continue  # a sub-folder that is a layer of its own
            checked += 1
            text = f.read_text(errors="replace")
            for m in INCLUDE.finditer(text):
                target = layer_of(m.group(1), layers)
                if target is not None and target > i:
                    line = text.count("\n", 0, m.start()) + 1
                    faults.append(f"{rel}:{line}: {layer} includes {m.group(1)} "
                                  f"of {layers[target]}, a layer above it")
    for fault in faults:
        print(fault)
    if faults:
        print(f"check_layers: {len(faults)} include(s) of a layer above")
        return 1
    print(f"check_layers: {checked} files in {len(layers)} layers include only their own "
          "layer and those below")
    return 0


if __name__ == "__main__":
    sys.exit(main())
