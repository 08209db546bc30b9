#!/usr/bin/env python3
"""Makes the benchmark tree: about 200,000 files in 20,000 folders of mixed
depth, sizes and extensions, the same on every run (fixed seed)."""
import os
import random
import sys

def main():
    root = sys.argv[1]
    folders = int(sys.argv[2]) if len(sys.argv) > 2 else 20000
    files = int(sys.argv[3]) if len(sys.argv) > 3 else 200000
    marker = os.path.join(root, ".complete-%d-%d" % (folders, files))
    if os.path.exists(marker):
        return
    rng = random.Random(20261211)
    os.makedirs(root, exist_ok=True)
    paths = [root]
    depth = {root: 0}
    for i in range(folders - 1):
        # prefer recent folders as parents so that depths vary from 1 to ~20
        parent = paths[-1 - min(len(paths) - 1, int(rng.expovariate(1 / 40.0)))] if rng.random() < 0.7 else rng.choice(paths)
        if depth[parent] > 24:
            parent = root
        path = os.path.join(parent, "dir%05d" % i)
        os.mkdir(path)
        paths.append(path)
        depth[path] = depth[parent] + 1
    extensions = [".txt", ".log", ".jpg", ".png", ".c", ".h", ".cpp", ".py", ".dat", ".iso", ".mp3", ".pdf", ".docx", "", ".tar.gz", ".JPG"]
    chunk = b"k" * 65536
    for i in range(files):
        folder = rng.choice(paths)
        name = os.path.join(folder, "file%06d%s" % (i, rng.choice(extensions)))
        r = rng.random()
        if r < 0.01:
            with open(name, "wb") as f:  # a few large, sparse files
                f.truncate(rng.randint(1, 200) * 1024 * 1024)
        else:
            size = int(rng.expovariate(1 / 3000.0)) if r < 0.97 else rng.randint(65536, 1048576)
            with open(name, "wb") as f:
                while size > 0:
                    f.write(chunk[: min(size, len(chunk))])
                    size -= len(chunk)
    open(marker, "w").close()

if __name__ == "__main__":
    main()
