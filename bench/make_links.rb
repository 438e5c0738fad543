# Writes two files for measuring object links against plain values.
#
#   ruby bench/make_links.rb bench/data/links.bin bench/data/ints.bin
#
# OUT_LINKS: one array of 200,000 small arrays followed by the same 200,000
# arrays again; Marshal writes the second half as object links ('@' n).
# OUT_INTS: the same first half followed by 200,000 integers whose packed
# form has the same size as those link numbers, so the two files differ
# only in what the second half is.  Deterministic.

COUNT = 200_000

if ARGV.size != 2
  warn 'usage: ruby bench/make_links.rb OUT_LINKS OUT_INTS'
  exit 2
end

containers = Array.new(COUNT) { |i| [i] }
# The outer array is object 0 and containers[i] object i + 1.
links = containers + containers
ints = containers + Array.new(COUNT) { |i| i + 1 }

File.binwrite(ARGV[0], Marshal.dump(links))
File.binwrite(ARGV[1], Marshal.dump(ints))
ARGV.each { |path| puts "#{path} #{File.size(path)}" }
