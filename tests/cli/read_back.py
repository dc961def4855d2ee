# Reads an exported XML data file with a strict parser (expat, through
# xml.etree), in the encoding its declaration names as .NET reads that name
# on the device (big5 is code page 950, gb2312 code page 936), decoded by
# Python's codecs first (expat itself takes no multi-byte encoding but
# UTF-8), and prints each record's fields as "NAME=VALUE" lines, names
# decoded as .NET's XmlConvert.DecodeName does and values with \r, \n and \\
# written as escapes; a file that is not well-formed ends it with status 1.
import re
import sys
import xml.etree.ElementTree as ElementTree


def decode_name(name):
    return re.sub(r"_x([0-9A-Fa-f]{8}|[0-9A-Fa-f]{4})_", lambda m: chr(int(m.group(1), 16)), name)


def shown(text):
    return (text or "").replace("\\", "\\\\").replace("\r", "\\r").replace("\n", "\\n")


raw = open(sys.argv[1], "rb").read()
declared = re.match(rb'<\?xml[^>]*encoding="([^"]+)"', raw)
as_dotnet_reads = {"big5": "cp950", "gb2312": "cp936"}
encoding = declared.group(1).decode() if declared else "utf-8"
text = raw.decode(as_dotnet_reads.get(encoding.lower(), encoding))  # strict: a wrong byte fails
text = re.sub(r'^(<\?xml[^>]*?) encoding="[^"]+"', r"\1", text)
root = ElementTree.fromstring(text)
print("root=" + decode_name(root.tag))
for record in root:
    print("record=" + decode_name(record.tag))
    for field in record:
        print(decode_name(field.tag) + "=" + shown(field.text))
sys.stdout.flush()
