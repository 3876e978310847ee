#!/usr/bin/env python3
"""Feeds tunevane-cli damaged copies of ordinary 4-second media files and counts the outputs it
calls "Done" that hold no audio (no audio stream, or nothing a decoder can read), and those that
hold less than half of the sound.

Usage: bench/damaged_inputs.py BUILD_DIR [COPIES_PER_FORMAT] [SEED]
Prints, per format and in total, how many copies were converted, failed, and how many "Done"
outputs hold no audio. The figure that matters is the last one: it must be 0."""
import json, os, random, shutil, subprocess, sys, tempfile

FORMATS = [  # extension, ffmpeg encoder arguments
    ("mp3", ["-c:a", "libmp3lame", "-b:a", "128k"]), ("flac", ["-c:a", "flac"]),
    ("ogg", ["-c:a", "libvorbis"]), ("m4a", ["-c:a", "aac"]), ("aac", ["-c:a", "aac"]),
    ("wav", ["-c:a", "pcm_s16le"]), ("aiff", ["-c:a", "pcm_s16be"]), ("wma", ["-c:a", "wmav2"]),
    ("ac3", ["-c:a", "ac3"]), ("mp2", ["-c:a", "mp2"]), ("wv", ["-c:a", "wavpack"]),
    ("tta", ["-c:a", "tta"]), ("mka", ["-c:a", "libvorbis"]), ("caf", ["-c:a", "pcm_s16le"]),
    ("au", ["-c:a", "pcm_s16be"]), ("voc", ["-c:a", "pcm_u8"]),
    ("mp4", ["-c:a", "aac"]), ("mkv", ["-c:a", "flac"]),
]


def probe_audio_seconds(path):
    """Seconds of audio a decoder gets out of the file; 0 when none."""
    out = subprocess.run(["ffmpeg", "-v", "error", "-i", path, "-map", "0:a:0", "-f", "s16le", "-ac", "1",
                          "-ar", "8000", "-"], capture_output=True)
    return len(out.stdout) / 2 / 8000.0


def mutate(data, rng):
    data = bytearray(data)
    kind = rng.randrange(4)
    if kind == 0:  # cut short anywhere, down to a few bytes
        return bytes(data[:rng.randrange(4, max(5, len(data)))])
    if kind == 1:  # random bytes overwritten after the first 64 (the header survives)
        for _ in range(rng.randrange(1, 200)):
            i = rng.randrange(min(64, len(data) - 1), len(data))
            data[i] = rng.randrange(256)
        return bytes(data)
    if kind == 2:  # a block zeroed
        start = rng.randrange(len(data))
        length = rng.randrange(1, max(2, len(data) // 2))
        data[start:start + length] = bytes(min(length, len(data) - start))
        return bytes(data)
    # the frames after the header replaced by noise
    head = min(len(data), rng.randrange(16, 2048))
    return bytes(data[:head]) + bytes(rng.randrange(256) for _ in range(len(data) - head))


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    copies = int(sys.argv[2]) if len(sys.argv) > 2 else 40
    rng = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 1)
    cli = os.path.abspath(os.path.join(build, "tunevane-cli"))
    work = tempfile.mkdtemp(prefix="damaged-")
    env = dict(os.environ, HOME=os.path.join(work, "home"), XDG_CONFIG_HOME=os.path.join(work, "home/.config"),
               XDG_DATA_HOME=os.path.join(work, "home/.local/share"))
    totals = {"copies": 0, "done": 0, "failed": 0, "skipped": 0, "silentDone": 0, "shortDone": 0}
    print(f"{'format':6} {'copies':>6} {'done':>5} {'failed':>6} {'skipped':>7} {'done without audio':>19} "
          f"{'done, under half':>16}")
    for ext, args in FORMATS:
        source = os.path.join(work, "source." + ext)
        subprocess.run(["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "sine=f=440:d=4", "-ac", "2"] + args +
                       [source], check=True)
        original = open(source, "rb").read()
        inputs = os.path.join(work, ext)
        os.makedirs(inputs)
        for n in range(copies):
            with open(os.path.join(inputs, f"c{n:04d}.{ext}"), "wb") as f:
                f.write(mutate(original, rng))
        out = os.path.join(work, "out-" + ext)
        run = subprocess.run([cli, "convert", "--keyword", "MP3", "--json", "--output", out, inputs],
                             capture_output=True, text=True, env=env, timeout=600)
        row = {"copies": copies, "done": 0, "failed": 0, "skipped": 0, "silentDone": 0, "shortDone": 0}
        for line in run.stdout.splitlines():
            try:
                result = json.loads(line)
            except ValueError:
                continue
            if result.get("status") == "Done":
                row["done"] += 1
                seconds = probe_audio_seconds(result["output"])
                if seconds <= 0.0:
                    row["silentDone"] += 1
                elif seconds < 2.0:
                    row["shortDone"] += 1
            elif result.get("status") == "Unsuccessful!":
                row["failed"] += 1
            elif result.get("status") == "Skipped":
                row["skipped"] += 1
        for key in totals:
            totals[key] += row[key]
        print(f"{ext:6} {row['copies']:6} {row['done']:5} {row['failed']:6} {row['skipped']:7} {row['silentDone']:19} "
              f"{row['shortDone']:16}")
    print(f"{'total':6} {totals['copies']:6} {totals['done']:5} {totals['failed']:6} {totals['skipped']:7} "
          f"{totals['silentDone']:19} {totals['shortDone']:16}")
    shutil.rmtree(work)


if __name__ == "__main__":
    main()
