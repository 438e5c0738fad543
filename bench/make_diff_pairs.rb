# Writes the pairs the comparison is measured on, into bench/data/diff/:
#
#   ruby bench/make_diff_pairs.rb bench/data
#
#  - large_edited.rxdata: large.rxdata with 1,000 scattered edits (a text,
#    a number or a command inserted, each in another event page);
#  - commands_old/new.rxdata: a list of 1,000,000 commands, and the same
#    list differing in 100 places;
#  - unrelated_old/new.rxdata: two lists of 100,000 commands with nothing
#    in common;
#  - game_edited/: a copy of the game folder with 10 maps edited.
# Needs large.rxdata (make_large.rb) and game/ (make_game_folder.rb).
# Deterministic.
require 'fileutils'
require_relative '../tests/data/make_fixtures'

data = ARGV.fetch(0)
out = File.join(data, 'diff')
FileUtils.mkdir_p(out)
rng = Random.new(2026)

def pages_of(maps)
  maps.values.flat_map { |m| m.instance_variable_get(:@events).values.flat_map { |e| e.instance_variable_get(:@pages) } }
end

def edit_page(page, rng, k)
  list = page.instance_variable_get(:@list)
  case k % 3
  when 0 then list.insert(rng.rand(list.size), RPG::EventCommand.new(106, 0, [k]))
  when 1 then list[rng.rand(list.size)].instance_variable_get(:@parameters) << "编辑 #{k}".b
  else page.instance_variable_set(:@move_speed, 6)
  end
end

maps = Marshal.load(File.binread(File.join(data, 'large.rxdata')))
pages_of(maps).shuffle(random: rng).first(1000).each_with_index { |page, k| edit_page(page, rng, k) }
File.binwrite(File.join(out, 'large_edited.rxdata'), Marshal.dump(maps))

commands = Array.new(1_000_000) { |i| RPG::EventCommand.new(101 + (i % 7), i % 3, ["第 #{i} 行".b, i]) }
File.binwrite(File.join(out, 'commands_old.rxdata'), Marshal.dump(commands))
rng.rand(commands.size).then { nil }
100.times { |k| commands[(k * 9973) % commands.size] = RPG::EventCommand.new(106, 0, [k]) }
File.binwrite(File.join(out, 'commands_new.rxdata'), Marshal.dump(commands))

File.binwrite(File.join(out, 'unrelated_old.rxdata'),
              Marshal.dump(Array.new(100_000) { |i| RPG::EventCommand.new(101, 0, ["旧 #{i}".b]) }))
File.binwrite(File.join(out, 'unrelated_new.rxdata'),
              Marshal.dump(Array.new(100_000) { |i| RPG::EventCommand.new(401, 0, ["新 #{i}".b]) }))

game = File.join(data, 'game')
edited = File.join(out, 'game_edited')
FileUtils.rm_rf(edited)
FileUtils.cp_r(game, edited)
Dir[File.join(edited, 'Map*.rxdata')].sort.first(150).each_slice(15).map(&:first).first(10).each_with_index do |file, k|
  map = Marshal.load(File.binread(file))
  events = map.instance_variable_get(:@events)
  edit_page(events.values.first.instance_variable_get(:@pages).first, rng, k)
  File.binwrite(file, Marshal.dump(map))
end
puts "wrote #{out}"
