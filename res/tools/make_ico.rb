# Writes res/quarnix.ico, the Windows program's icon group, from the
# application icon drawn by make_icons.cpp (res/app/quarnix-SIZE.png):
# 48, 32 and 16 pixels at 1, 4 and 8 bits per pixel, and 128, 48, 32 and 16
# pixels at 32 bits per pixel, every image a device-independent bitmap
# (none PNG), so that every Windows and every display depth finds its own.
#
#   ruby res/tools/make_ico.rb [OUT.ico]
require "zlib"

RES = File.expand_path("..", __dir__)
IMAGES = [[48, 1], [32, 1], [16, 1], [48, 4], [32, 4], [16, 4], [48, 8], [32, 8], [16, 8],
          [128, 32], [48, 32], [32, 32], [16, 32]].freeze

# An 8-bit RGBA, non-interlaced PNG as rows of [r, g, b, a] pixels, top down.
def read_png(path)
  bytes = File.binread(path)
  raise "#{path}: not a PNG" unless bytes.start_with?("\x89PNG\r\n\x1a\n".b)
  pos = 8
  width = height = nil
  data = +""
  while pos < bytes.size
    length, type = bytes[pos, 8].unpack("Na4")
    chunk = bytes[pos + 8, length]
    if type == "IHDR"
      width, height, depth, colour, _, _, interlace = chunk.unpack("NNCCCCC")
      raise "#{path}: only 8-bit RGBA, not interlaced" unless depth == 8 && colour == 6 && interlace.zero?
    end
    data << chunk if type == "IDAT"
    pos += 12 + length
  end
  raw = Zlib::Inflate.inflate(data).bytes
  stride = width * 4
  previous = Array.new(stride, 0)
  rows = Array.new(height) do |y|
    filter = raw[y * (stride + 1)]
    line = raw[y * (stride + 1) + 1, stride]
    line.each_index do |i|
      left = i >= 4 ? line[i - 4] : 0
      up = previous[i]
      corner = i >= 4 ? previous[i - 4] : 0
      line[i] = (line[i] + case filter
                           when 0 then 0
                           when 1 then left
                           when 2 then up
                           when 3 then (left + up) / 2
                           when 4 then paeth(left, up, corner)
                           else raise "#{path}: filter #{filter}"
                           end) & 0xff
    end
    previous = line
    line.each_slice(4).to_a
  end
  rows
end

def paeth(a, b, c)
  p = a + b - c
  pa = (p - a).abs
  pb = (p - b).abs
  pc = (p - c).abs
  return a if pa <= pb && pa <= pc
  pb <= pc ? b : c
end

# The palettes of the indexed images: black and white; the 16 colours of
# the standard VGA palette; a 6x6x6 colour cube and 40 greys.
def palette(bits)
  case bits
  when 1 then [[0, 0, 0], [255, 255, 255]]
  when 4
    [[0, 0, 0], [128, 0, 0], [0, 128, 0], [128, 128, 0], [0, 0, 128], [128, 0, 128], [0, 128, 128],
     [192, 192, 192], [128, 128, 128], [255, 0, 0], [0, 255, 0], [255, 255, 0], [0, 0, 255],
     [255, 0, 255], [0, 255, 255], [255, 255, 255]]
  when 8
    cube = [0, 51, 102, 153, 204, 255].product([0, 51, 102, 153, 204, 255], [0, 51, 102, 153, 204, 255])
    cube + (1..40).map { |i| v = i * 255 / 41; [v, v, v] }
  end
end

def nearest(colours, pixel)
  colours.each_index.min_by do |i|
    c = colours[i]
    (c[0] - pixel[0])**2 + (c[1] - pixel[1])**2 + (c[2] - pixel[2])**2
  end
end

# Palette indices of the covered pixels, the error of each spread over its
# neighbours (Floyd-Steinberg) where there are colours enough to mix.
def indexed(pixels, colours, dither)
  work = pixels.map { |row| row.map { |p| p[0, 3].map(&:to_f) } }
  size = pixels.size
  pixels.each_index.map do |y|
    pixels[y].each_index.map do |x|
      next 0 if pixels[y][x][3] < 128
      want = work[y][x].map { |v| v.clamp(0.0, 255.0) }
      index = nearest(colours, want)
      if dither
        error = want.zip(colours[index]).map { |w, c| w - c }
        [[1, 0, 7], [-1, 1, 3], [0, 1, 5], [1, 1, 1]].each do |dx, dy, weight|
          nx = x + dx
          ny = y + dy
          next unless nx.between?(0, size - 1) && ny < size && pixels[ny][nx][3] >= 128
          3.times { |k| work[ny][nx][k] += error[k] * weight / 16.0 }
        end
      end
      index
    end
  end
end

# Rows are stored bottom up, each padded to 4 bytes.
def pack_rows(rows, bits)
  rows.reverse.map do |row|
    line = if bits == 32
             row.map { |r, g, b, a| [b, g, r, a].pack("C4") }.join
           else
             row.each_slice(8 / bits).map do |group|
               group.each_with_index.sum { |v, k| v << (8 - bits * (k + 1)) }.chr
             end.join
           end
    line + "\0" * (-line.bytesize % 4)
  end.join.b
end

def dib(pixels, size, bits)
  # Transparent where the drawing is less than half covered.
  mask = pixels.map { |row| row.map { |p| p[3] < 128 ? 1 : 0 } }
  colours = bits == 32 ? [] : palette(bits)
  image = bits == 32 ? pixels : indexed(pixels, colours, bits > 1)
  xor = pack_rows(image, bits)
  and_mask = pack_rows(mask, 1)
  header = [40, size, size * 2, 1, bits, 0, xor.bytesize + and_mask.bytesize, 0, 0, 0, 0].pack("Vl<l<vvVVl<l<VV")
  header + colours.map { |r, g, b| [b, g, r, 0].pack("C4") }.join + xor + and_mask
end

out = ARGV[0] || File.join(RES, "quarnix.ico")
drawings = IMAGES.map(&:first).uniq.to_h { |size| [size, read_png(File.join(RES, "app", "quarnix-#{size}.png"))] }
images = IMAGES.map { |size, bits| dib(drawings.fetch(size), size, bits) }
offset = 6 + 16 * IMAGES.size
directory = [0, 1, IMAGES.size].pack("vvv")
IMAGES.each_with_index do |(size, bits), i|
  colour_count = bits < 8 ? 1 << bits : 0
  directory << [size % 256, size % 256, colour_count, 0, 1, bits, images[i].bytesize, offset].pack("CCCCvvVV")
  offset += images[i].bytesize
end
File.binwrite(out, directory + images.join)
puts "Wrote #{out}: #{IMAGES.size} images"
