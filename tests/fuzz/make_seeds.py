#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets into corpus/<target>/ beside this script.

Seeds are small, sound examples of each reader's input plus the damaged and hostile tile bodies
the stitch once mishandled. Needs gdal_translate (gdal-bin) for the JPEG, GIF and BMP seeds.
"""
import os
import struct
import subprocess
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")
FIXTURES = os.path.join(HERE, "..", "geodata", "fixtures")


def put(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("utf-8")
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def fixture(name):
    with open(os.path.join(FIXTURES, name), "rb") as f:
        return f.read()


def png(width, height, rgba):
    raw = b"".join(b"\x00" + bytes(rgba) * width for _ in range(height))

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw)) +
            chunk(b"IEND", b""))


def plain_png(width, height, colour_type, samples, extra=b""):
    """An 8-bit PNG of any colour type, rows cycling through the five filters."""
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour_type]
    raw = b"".join(bytes([y % 5]) + bytes((samples + x * 37 + y * 11) % 256
                                        for x in range(width * channels))
                   for y in range(height))

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + extra +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def png_chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(
        ">I", zlib.crc32(kind + body) & 0xFFFFFFFF)


def converted(png_bytes, driver, suffix):
    with tempfile.TemporaryDirectory() as tmp:
        src = os.path.join(tmp, "in.png")
        dst = os.path.join(tmp, "out" + suffix)
        with open(src, "wb") as f:
            f.write(png_bytes)
        options = ["-b", "1", "-b", "2", "-b", "3"]
        if driver == "GIF":
            options = ["-b", "1"]
        subprocess.run(["gdal_translate", "-q", "-of", driver] + options + [src, dst], check=True)
        with open(dst, "rb") as f:
            return f.read()


def scramble(line):
    units = line.encode("utf-16-le")
    out = []
    for i in range(0, len(units), 2):
        u = struct.unpack("<H", units[i:i + 2])[0] ^ 0xFFFF
        out.append(chr(u).encode("utf-8", "surrogatepass"))
    return b"".join(out)


def claimed_jpeg_size(jpeg, width, height):
    data = bytearray(jpeg)
    i = data.find(b"\xff\xc0")
    data[i + 5:i + 9] = struct.pack(">HH", height, width)
    return bytes(data)


def claimed_png_size(data, width, height):
    data = bytearray(data)
    data[16:24] = struct.pack(">II", width, height)
    data[29:33] = struct.pack(">I", zlib.crc32(bytes(data[12:29])) & 0xFFFFFFFF)
    return bytes(data)


def broken_scan(jpeg):
    """A restart marker in the middle of the scan, where none belongs."""
    data = bytearray(jpeg)
    sos = data.find(b"\xff\xda")
    start = sos + 2 + struct.unpack(">H", data[sos + 2:sos + 4])[0]
    at = (start + len(data) - 2) // 2
    data[at:at + 2] = b"\xff\xd3"
    return bytes(data)


def nest(tag, levels, inner):
    return "<%s>" % tag * levels + inner + "</%s>" % tag * levels


GPX_ROOT = ('<gpx version="1.1" creator="seed" xmlns="http://www.topografix.com/GPX/1/1" '
            'xmlns:x="urn:root-x">')
KML_ROOT = '<kml xmlns="http://www.opengis.net/kml/2.2"><Document>'


def xml_seeds():
    """GPX and KML files as they come from elsewhere: nested deep, in a legacy encoding named
    by the declaration, with namespaces declared on inner elements."""
    put("gpx", "deep.gpx", '<?xml version="1.0"?>\n' + GPX_ROOT +
        '<wpt lat="39.9" lon="116.4"><name>' + nest("b", 2000, "deep") + '</name></wpt>'
        '<trk><trkseg><trkpt lat="1" lon="2"><extensions>' + nest("x:a", 2000, "1") +
        '</extensions></trkpt></trkseg></trk></gpx>\n')
    body = ('<wpt lat="39.9" lon="116.39"><name>%s</name><desc>%s</desc></wpt></gpx>\n')
    for name, encoding, text, note in [("gbk.gpx", "GBK", "天安门", "广场北侧"),
                                       ("big5.gpx", "Big5", "臺北", "車站"),
                                       ("cp1252.gpx", "windows-1252", "Café €5", "Crème")]:
        put("gpx", name, ('<?xml version="1.0" encoding="%s"?>\n' % encoding + GPX_ROOT +
                          body % (text, note)).encode(encoding))
    put("gpx", "utf16.gpx", b"\xff\xfe" + ('<?xml version="1.0" encoding="UTF-16"?>\n' +
                                           GPX_ROOT + body % ("北京", "façade")).encode("utf-16-le"))
    put("gpx", "inner_namespaces.gpx", '<?xml version="1.0"?>\n' + GPX_ROOT +
        '<metadata xmlns:m="urn:m"><extensions><m:k>v</m:k></extensions></metadata>'
        '<wpt lat="1" lon="2" xmlns:w="urn:w"><extensions><w:n a="1" w:b="2">n</w:n>'
        '<w:box><extensions>inner</extensions></w:box></extensions></wpt>'
        '<rte xmlns:r="urn:r"><extensions><r:c>blue</r:c><line '
        'xmlns="http://www.topografix.com/GPX/gpx_style/0/2"><color>ff0000</color></line>'
        '</extensions><rtept lat="1" lon="2"/></rte>'
        '<trk xmlns:x="urn:x"><extensions><x:color>red</x:color></extensions>'
        '<trkseg xmlns:s="urn:s"><trkpt lat="3" lon="4"><extensions xmlns:t="urn:t">'
        '<t:e><t:hr>120</t:hr></t:e></extensions></trkpt><trkpt lat="5" lon="6">'
        '<extensions xmlns="urn:plain"><speed>3</speed></extensions></trkpt>'
        '<extensions><s:q>good</s:q></extensions></trkseg></trk>'
        '<extensions xmlns:d="urn:d"><d:doc>1</d:doc></extensions></gpx>\n')

    point = ('<Placemark><name>%s</name><Snippet>%s</Snippet><Point><coordinates>116.39,39.9'
             '</coordinates></Point></Placemark>')
    put("kml", "deep.kml", '<?xml version="1.0"?>\n' + KML_ROOT +
        '<Placemark><name>' + nest("b", 2000, "deep") + '</name><Point><coordinates>1,2'
        '</coordinates></Point></Placemark>' + nest("Folder", 2000, point % ("P", "s")) +
        '</Document></kml>\n')
    for name, encoding, text, note in [("gbk.kml", "GBK", "天安门", "广场北侧"),
                                       ("gb18030.kml", "GB18030", "𠮷野家", "€"),
                                       ("latin1.kml", "ISO-8859-1", "Müller", "Grüß")]:
        put("kml", name, ('<?xml version="1.0" encoding="%s"?>\n' % encoding + KML_ROOT +
                          point % (text, note) + '</Document></kml>\n').encode(encoding))
    put("kml", "utf16be.kml", ('<?xml version="1.0" encoding="UTF-16"?>\n' + KML_ROOT +
                               point % ("臺北", "naïve") + '</Document></kml>\n')
        .encode("utf-16-be"))
    put("kml", "inner_namespaces.kml", '<?xml version="1.0"?>\n' + KML_ROOT +
        '<Folder xmlns:gx="http://www.google.com/kml/ext/2.2"><name>F</name><Placemark>'
        '<name>L</name><gx:Track><gx:coord>1 2 3</gx:coord></gx:Track><LineString '
        'xmlns:k="urn:k"><k:x/><coordinates>1,2 3,4,5\t6,7</coordinates></LineString>'
        '</Placemark></Folder></Document></kml>\n')


def main():
    # Seeds are rewritten in place; inputs added by hand (crashes once found) stay.

    lines = ["Bookmark=", "MapTypeId=3", "Directory=/home/user/MapDownload",
             "Zooms=3,5,12", "Coordinates=116.3,39.9,116.5,39.9,116.5,39.8,116.3,39.8",
             "TileBounds=3,1,2,6,7;5,10,12,26,27", "TileSize=256", "TileType=0", "NoLabel=0",
             "TiandituIndex=0"]
    put("task_file", "task.zeb", b"\xef\xbb\xbf" + b"".join(scramble(l) + b"\r\n" for l in lines))
    put("task_file", "plain.zeb", "\n".join(lines) + "\n")

    put("settings", "settings.ini",
        "[Boolean]\nShowGrid=1\nAutoSave=0\n[Integer]\nImageQuality=90\nThreads=8\n"
        "[Float]\nLastLat=39.9\n[String]\nCompressName=LZW\nOutputDir=/tmp/out\n")
    put("settings", "bom_crlf.ini", "\ufeff[String]\r\nRoadMapTileVer=123456789\r\nKey = value \r\n")

    put("gpx", "track.gpx", fixture("track.gpx"))
    put("gpx", "places.gpx", fixture("places.gpx"))
    put("kml", "track.kml", fixture("track.kml"))
    put("kml", "places.kml", fixture("places.kml"))
    xml_seeds()
    put("nmea", "track.nmea", fixture("track.nmea")[:2000])
    put("nmea", "mixed.nmea",
        "$GPGGA,garbage*00\r\n$GPRMC,bad*11\n\n$GPGSV,3,1,11,01,02,03,04*7F\r\n")

    put("boundary", "store.txt",
        "北京=116.3,39.9,116.5,39.9,116.5,39.8,116.3,39.8\n"
        "方框=116,40,117,40,117,39,116,39\n空=\n")
    put("coordinate_text", "polyline.txt", "_p~iF~ps|U_ulLnnqC_mqNvxq`@")
    put("coordinate_text", "latlng.txt", "39.9,116.4,12")
    put("coordinate_text", "bounds.txt", "3,1,2,6,7;5,10,12,26,27")

    put("json", "object.json", '{"a":1,"b":"x","c":[1,2,{"d":null}],"e":{"f":true}}')
    put("json", "callback.json", 'jsonp_1({"status":"E0","total":"1","list":[{"name":"x"}]});')
    put("web_answers", "district.json", '{"report":"0","dist":"北京市,东城区"}')
    put("web_answers", "geocode.json",
        '{"results":[{"formatted_address":"中国北京市 邮政编码: 100010","geometry":'
        '{"location":{"lat":39.9,"lng":116.4}}}],"status":"OK"}')
    put("web_answers", "search.json",
        'jsonp_12({"status":"E0","total":"1","list":[{"name":"东城区","citycode":"010",'
        '"adcode":"110101","coords":"116.38,39.87;116.44,39.96","srctype":"district"}]});')
    put("web_answers", "ip.json",
        '{"address":"CN|北京|北京","content":{"address":"北京市","point":'
        '{"x":"116.39564504","y":"39.92998578"}},"status":0}')
    put("web_answers", "places.json",
        '{"status":0,"message":"ok","total":1,"results":[{"name":"站","location":'
        '{"lat":39.9,"lng":116.4},"address":"街1号","uid":"a1","detail_info":{"tag":"交通"}}]}')

    put("tile_version", "loader.js",
        'getScript("https://mts0.google.com/vt?lyrs=m@111111111&hl=zh-CN","https://mts1.google.'
        'com/vt?lyrs=m@222222222"],["https://khms0.google.com/kh?v=145&x="],["lyrs=m@333333333,'
        'h@x","s@145&"]);')
    put("tile_version", "baidu.html",
        '<script>window.TVC={"ditu":{"normal":{"version":"088","updateDate":"20231201"},'
        '"satellite":{"version":"009","updateDate":"20230101"},"satelliteStreet":{"version":'
        '"083","updateDate":"20231202"}}};</script>')

    small = png(16, 16, (200, 40, 10, 255))
    label = png(16, 16, (255, 0, 0, 128))
    jpeg = converted(small, "JPEG", ".jpg")
    gif = converted(small, "GIF", ".gif")
    bmp = converted(small, "BMP", ".bmp")
    dqt = bytearray(jpeg)
    dqt[dqt.find(b"\xff\xdb") + 4] = 5
    vrt = ('<VRTDataset rasterXSize="16" rasterYSize="16"><VRTRasterBand dataType="Byte" '
           'band="1"><SimpleSource><SourceFilename relativeToVRT="0">/etc/hostname'
           '</SourceFilename><SourceBand>1</SourceBand></SimpleSource></VRTRasterBand>'
           '</VRTDataset>\n')
    huge_gif = (b"GIF89a\x10\x00\x10\x00\x00\x00\x00\x2c\x00\x00\x00\x00\xe8\xfd\xe8\xfd"
                b"\x00\x02\x02\x4c\x01\x00\x3b")
    tiles = {
        "tile.png": small, "label.png": label, "tile.jpg": jpeg, "tile.gif": gif,
        "tile.bmp": bmp, "bogus_dqt.jpg": bytes(dqt), "cut.jpg": jpeg[:len(jpeg) * 3 // 4],
        "broken_scan.jpg": broken_scan(jpeg), "cut.png": small[:len(small) // 2], "huge.jpg": claimed_jpeg_size(jpeg, 65000, 65000),
        "huge.png": claimed_png_size(small, 65000, 65000), "huge.gif": huge_gif,
        "raster_description.vrt": vrt.encode(), "page.html": b"<html>404</html>",
        "filtered_rgb.png": plain_png(9, 7, 2, 3, png_chunk(b"gAMA", struct.pack(">I", 45455))),
        "grey_key.png": plain_png(9, 7, 0, 5, png_chunk(b"tRNS", struct.pack(">H", 16))),
        "grey_alpha.png": plain_png(9, 7, 4, 1),
        "palette.png": plain_png(9, 7, 3, 0, png_chunk(b"PLTE", bytes(i % 256 for i in range(768))) +
                                 png_chunk(b"tRNS", b"\x00\x80\xff")),
    }
    for name, data in tiles.items():
        put("image", name, data)
    put("label_merge", "png_over_jpeg", b"\x84" + label + b"|MERGE|" + jpeg)
    put("label_merge", "png_over_png", b"\x04" + label + b"|MERGE|" + small)
    put("label_merge", "bogus_base", b"\x02" + label + b"|MERGE|" + bytes(dqt))
    put("label_merge", "huge_label", b"\x83" + claimed_png_size(label, 60000, 60000) +
        b"|MERGE|" + jpeg)


if __name__ == "__main__":
    main()
