# Writes a real-sized game Data folder for the folder benchmarks:
#
#   ruby bench/make_game_folder.rb bench/data/game
#
# 150 maps of 250 events (about a million event commands in all, the same
# statements as make_large.rb), MapInfos with a map tree, System with named
# switches and variables, CommonEvents, Troops and the database files with
# names.  Strings as Ruby 1.8 wrote them.  Deterministic.  Prints what it
# wrote.
require 'fileutils'
require_relative 'make_large'
require_relative '../tests/data/make_game_fixtures'

GAME_MAPS = 150
GAME_EVENTS = 250

class GameMaker < LargeMaker
  # Fewer statements per page than make_large.rb: more events, as many commands.
  def page(p)
    condition = container(RPG::Event::Page::Condition.new(1 + @rng.rand(100), str(%w[A B C D][p % 4])))
    condition.instance_variable_set(:@switch1_valid, @rng.rand(3).zero?)
    graphic = container(RPG::Event::Page::Graphic.new(str('001-Fighter01'), 2))
    list = []
    (8 + @rng.rand(14)).times { statement(list, 0) }
    if @rng.rand(4).zero?
      list << command(117, 0, params(1 + @rng.rand(100)))
      list << command(126, 0, params(1 + @rng.rand(80), 0, 0, 1))
    end
    list << command(0, 0, params)
    container(RPG::Event::Page.new(condition, graphic, move_route, @rng.rand(5), container(list)))
  end

  def game_map(id)
    events = container({})
    (1..GAME_EVENTS).each do |e|
      pages = container(Array.new(1 + @rng.rand(2)) { |p| page(p) })
      events[e] = container(RPG::Event.new(e, str(format('EV%03d', e)), @rng.rand(MAP_WIDTH), @rng.rand(MAP_HEIGHT), pages))
    end
    container(RPG::Map.new(MAP_WIDTH, MAP_HEIGHT, Table.new(MAP_WIDTH, MAP_HEIGHT, 3), events, audio(''), audio('')))
  end

  def name_list(n)
    [nil] + Array.new(n) { chinese(2, 6) }
  end
end

if ARGV.size != 1
  warn 'usage: ruby bench/make_game_folder.rb OUT_DIR'
  exit 2
end
dir = ARGV[0]
FileUtils.mkdir_p(dir)
maker = GameMaker.new(20_250_101)
mk = StringMaker.new(true)
write = ->(name, value) { File.binwrite(File.join(dir, name), Marshal.dump(value)) }
write.call('System.rxdata', RPG::System.new(maker.name_list(500), maker.name_list(200)))
infos = {}
(1..GAME_MAPS).each { |id| infos[id] = RPG::MapInfo.new(maker.chinese(2, 5), id > 10 ? 1 + (id % 10) : 0, id) }
write.call('MapInfos.rxdata', infos)
common = [nil] + (1..100).map do |i|
  list = []
  10.times { maker.statement(list, 0) }
  RPG::CommonEvent.new(i, maker.chinese(2, 6), i % 7 == 0 ? 2 : 0, 1 + i, list + [maker.command(0, 0, [])])
end
write.call('CommonEvents.rxdata', common)
write.call('Actors.rxdata', [nil] + (1..8).map { |i| RPG::Actor.new(i, maker.chinese(2, 4), 1, mk.s('001-Fighter01'), Table.new(6, 100)) })
{ 'Classes' => RPG::Class, 'Skills' => RPG::Skill, 'Items' => RPG::Item, 'Weapons' => RPG::Weapon,
  'Armors' => RPG::Armor, 'Enemies' => RPG::Enemy, 'States' => RPG::State, 'Animations' => RPG::Animation,
  'Tilesets' => RPG::Tileset }.each do |file, klass|
  write.call("#{file}.rxdata", [nil] + (1..100).map { |i| klass.new(i, maker.chinese(2, 5)) })
end
troops = [nil] + (1..50).map do |i|
  list = []
  3.times { maker.statement(list, 0) }
  RPG::Troop.new(i, maker.chinese(2, 5), [RPG::Troop::Page.new(RPG::Troop::Page::Condition.new(actor_id: nil, switch_id: i), list + [maker.command(0, 0, [])])])
end
write.call('Troops.rxdata', troops)
(1..GAME_MAPS).each { |id| write.call(format('Map%03d.rxdata', id), maker.game_map(id)) }
puts "folder #{dir}"
puts "bytes #{Dir[File.join(dir, '*')].sum { |f| File.size(f) }}"
puts "event_commands #{maker.commands}"
