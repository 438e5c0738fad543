# Converts a 24-bit uncompressed BMP (as quarnix.exe --screenshot writes it)
# to PNG, with Ruby's own zlib: no image tools needed.
#   ruby scripts/bmp-to-png.rb IN.bmp OUT.png
require "zlib"

data = File.binread(ARGV[0])
offset = data[10, 4].unpack1("V")
width, height = data[18, 8].unpack("l<l<")
bits = data[28, 2].unpack1("v")
abort "#{ARGV[0]}: not a 24-bit bitmap" unless bits == 24
stride = (width * 3 + 3) & ~3
rows = (0...height.abs).map do |y|
  source = height > 0 ? height - 1 - y : y  # bottom-up unless the height is negative
  line = data[offset + source * stride, width * 3]
  "\0" + line.unpack("C*").each_slice(3).map { |b, g, r| [r, g, b].pack("C3") }.join
end
chunk = ->(type, body) { [body.bytesize].pack("N") + type + body + [Zlib.crc32(type + body)].pack("N") }
png = "\x89PNG\r\n\x1a\n".b
png << chunk.call("IHDR", [width, height.abs, 8, 2, 0, 0, 0].pack("NNCCCCC"))
png << chunk.call("IDAT", Zlib::Deflate.deflate(rows.join, Zlib::BEST_COMPRESSION))
png << chunk.call("IEND", "")
File.binwrite(ARGV[1], png)
