"""Writes the ALSA devices and Wine registry values that offer each sink of the sound server, and
its monitor, to Wine's ALSA driver.

    pactl list sinks | python3 wine_alsa_devices.py ASOUNDRC REGFILE

A sink's device is named by its description ("Lyrant Speakers A"), its monitor's by the description
and " monitor": Wine shows them as "Out: Lyrant Speakers A" and "In: Lyrant Speakers A monitor",
cut at 31 characters, so the monitor's name keeps the part that tells sinks apart in front.
"""
import sys


def sinks(listing):
    found, name = [], None
    for line in listing:
        line = line.strip()
        if line.startswith("Name: "):
            name = line[len("Name: "):]
        elif line.startswith("Description: ") and name:
            found.append((name, line[len("Description: "):]))
            name = None
    return found


def quoted(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def multi_string(names):
    # Version 5 files hold multi-strings as UTF-16, so a name outside ASCII reaches Wine whole.
    data = b"".join(name.encode("utf-16-le") + b"\0\0" for name in names) + b"\0\0"
    return "hex(7):" + ",".join("%02x" % byte for byte in data)


def main(asoundrc, regfile):
    found = sinks(sys.stdin)
    if not found:
        sys.exit("wine_alsa_devices: the sound server lists no sinks")
    # (name, device) once each: the ALSA file defines them, the registry lists them by name.
    outputs = [(text, sink) for sink, text in found]
    inputs = [(text + " monitor", sink + ".monitor") for sink, text in found]
    # Wine opens the devices by their names in the Unix code page, UTF-8 here.
    with open(asoundrc, "w", encoding="utf-8") as conf:
        for name, device in outputs + inputs:
            conf.write("pcm.%s { type pulse device %s }\n" % (quoted(name), quoted(device)))
    with open(regfile, "w", encoding="utf-16") as reg:
        reg.write("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Wine\\Drivers]\n\"Audio\"=\"alsa\"\n\n")
        reg.write("[HKEY_CURRENT_USER\\Software\\Wine\\Drivers\\winealsa.drv]\n")
        reg.write('"ALSAOutputDevices"=%s\n' % multi_string(name for name, _ in outputs))
        reg.write('"ALSAInputDevices"=%s\n' % multi_string(name for name, _ in inputs))


if __name__ == "__main__":
    main(*sys.argv[1:3])
