# Writes a large RPG Maker XP-like file for the load benchmarks.
#
#   ruby bench/make_large.rb bench/data/large.rxdata
#
# The file is one hash of RPG::Map objects (as MapInfos-style ids), each with
# a Table of tiles ('u') and many events whose pages hold command lists:
# about a million RPG::EventCommand objects and about two million containers
# in all, with Chinese and ASCII text as Ruby 1.8 wrote it (binary strings,
# no 'I'), integers of every size, symbols, floats and parameter arrays.
# Deterministic: the same file every run.  Prints what it wrote.

require_relative '../tests/data/make_fixtures'

MAPS = 100
EVENTS_PER_MAP = 100
MAP_WIDTH = 50
MAP_HEIGHT = 40

HANZI = ('你我他她它们的是了不在有人这中大为上个国和地到以说时要就出会可也' \
         '对生能而子那得于着下自之年过发后作里用道行所然家种事成方多经么去法学' \
         '如都同现当没动面起看定天分还进好小部其些主样理心她本前开但因只从想实' \
         '日军者意无力它与长把机十民第公此已工使情明性知全三又关点正业外将两高间' \
         '由问很最重并物手应战向头文体政美相见被利什二等产或新己制身果加西斯队' \
         '阿尔巴吉赛勒多萝艾特菲力克格洛丽亚希达勇士魔王剑盾药草金币村庄城堡洞窟').chars.freeze
PUNCT = %w[， 。 ！ ？ …… ：].freeze
ASCII_WORDS = %w[the door is locked open chest gold potion sword shield hero
                 village castle cave monster boss save load shop inn].freeze
SYMBOLS = %i[wait jump face_left face_right turn_around se bgm fade].freeze

class LargeMaker
  attr_reader :commands, :containers, :strings

  def initialize(seed)
    @rng = Random.new(seed)
    @commands = 0
    @containers = 0
    @strings = 0
  end

  def container(obj)
    @containers += 1
    obj
  end

  def str(text)
    @strings += 1
    text.b
  end

  def chinese(min, max)
    n = min + @rng.rand(max - min + 1)
    text = +''
    n.times { text << HANZI[@rng.rand(HANZI.size)] }
    text << PUNCT[@rng.rand(PUNCT.size)]
    str(text)
  end

  def ascii(words)
    str(Array.new(words) { ASCII_WORDS[@rng.rand(ASCII_WORDS.size)] }.join(' '))
  end

  def params(*values)
    container(values)
  end

  def command(code, indent, parameters)
    @commands += 1
    container(RPG::EventCommand.new(code, indent, parameters))
  end

  def audio(name)
    container(RPG::AudioFile.new(str(name), 60 + @rng.rand(41), 80 + @rng.rand(41)))
  end

  def move_route
    list = Array.new(1 + @rng.rand(3)) do
      container(RPG::MoveCommand.new(1 + @rng.rand(14), params(*Array.new(@rng.rand(2)) { @rng.rand(40) })))
    end
    list << container(RPG::MoveCommand.new(0, params))
    container(RPG::MoveRoute.new(container(list)))
  end

  # One "statement" of an event page: one or a few commands.
  def statement(list, indent)
    case @rng.rand(100)
    when 0...30
      list << command(101, indent, params(@rng.rand(3).zero? ? ascii(3 + @rng.rand(5)) : chinese(4, 14)))
      @rng.rand(3).times { list << command(401, indent, params(chinese(4, 14))) }
    when 30...36
      n = 2 + @rng.rand(3)
      list << command(102, indent, params(container(Array.new(n) { chinese(1, 3) }), n))
      n.times do |i|
        list << command(402, indent, params(i, chinese(1, 3)))
        list << command(101, indent + 1, params(chinese(3, 10)))
        list << command(0, indent + 1, params)
      end
      list << command(404, indent, params)
    when 36...48
      list << command(121, indent, params(1 + @rng.rand(500), 1 + @rng.rand(500), @rng.rand(2)))
    when 48...60
      operand = [@rng.rand(100), @rng.rand(70_000) - 35_000, @rng.rand(2**31) - 2**30][@rng.rand(3)]
      list << command(122, indent, params(1 + @rng.rand(200), 1 + @rng.rand(200), @rng.rand(6), 0, operand))
    when 60...66
      list << command(111, indent, params(1, 1 + @rng.rand(200), 0, @rng.rand(1000), @rng.rand(6)))
      list << command(101, indent + 1, params(chinese(4, 12)))
      list << command(0, indent + 1, params)
      list << command(412, indent, params)
    when 66...72
      list << command(241, indent, params(audio(format('%03d-Town%02d', 1 + @rng.rand(60), 1 + @rng.rand(9)))))
      list << command(250, indent, params(audio('002-System02')))
    when 72...76
      list << command(209, indent, params(@rng.rand(20) - 1, move_route))
      list << command(509, indent, params(container(RPG::MoveCommand.new(1 + @rng.rand(14), params))))
    when 76...79
      list << command(223, indent, params(Tone.new(@rng.rand(511) - 255, @rng.rand(511) - 255, 0, @rng.rand(256)),
                                          1 + @rng.rand(40)))
    when 79...81
      list << command(224, indent, params(Color.new(255, 255, 255, @rng.rand(256)), 1 + @rng.rand(20)))
    when 81...88
      # Symbols and floats, as scripted plug-ins keep them in parameters.
      list << command(355, indent, params(SYMBOLS[@rng.rand(SYMBOLS.size)], (@rng.rand * 10).round(3),
                                          SYMBOLS[@rng.rand(SYMBOLS.size)], @rng.rand(1000)))
    when 88...94
      list << command(355, indent, params(str("$game_party.gain_gold(#{@rng.rand(100_000)})")))
      list << command(655, indent, params(str("$game_variables[#{@rng.rand(200)}] += #{@rng.rand(1000)}")))
    else
      list << command(201, indent, params(0, 1 + @rng.rand(MAPS), @rng.rand(MAP_WIDTH), @rng.rand(MAP_HEIGHT),
                                          2 * (1 + @rng.rand(4)), 0))
    end
  end

  def page(p)
    condition = container(RPG::Event::Page::Condition.new(1 + @rng.rand(100), str(%w[A B C D][p % 4])))
    graphic = container(RPG::Event::Page::Graphic.new(str(format('%03d-Fighter%02d', 1 + @rng.rand(40),
                                                                 1 + @rng.rand(4))),
                                                      2 * (1 + @rng.rand(4))))
    list = []
    (12 + @rng.rand(22)).times { statement(list, 0) }
    list << command(0, 0, params)
    container(RPG::Event::Page.new(condition, graphic, move_route, @rng.rand(5), container(list)))
  end

  def map(id)
    tiles = Table.new(MAP_WIDTH, MAP_HEIGHT, 3)
    MAP_HEIGHT.times do |y|
      MAP_WIDTH.times do |x|
        tiles[x, y, 0] = 384 + @rng.rand(48)
        tiles[x, y, 1] = @rng.rand(8).zero? ? 400 + @rng.rand(400) : 0
      end
    end
    events = container({})
    (1..EVENTS_PER_MAP).each do |e|
      pages = container(Array.new(1 + @rng.rand(3)) { |p| page(p) })
      events[e] = container(RPG::Event.new(e, str(format('EV%03d', e)), @rng.rand(MAP_WIDTH),
                                           @rng.rand(MAP_HEIGHT), pages))
    end
    encounters = container(Array.new(@rng.rand(4)) { 1 + @rng.rand(30) })
    map = RPG::Map.new(MAP_WIDTH, MAP_HEIGHT, tiles, events, audio(format('%03d-Town%02d', id, 1)), audio(''))
    map.instance_variable_set(:@encounter_list, encounters)
    container(map)
  end
end

if $PROGRAM_NAME == __FILE__
  if ARGV.size != 1
    warn 'usage: ruby bench/make_large.rb OUT'
    exit 2
  end

  started = Process.clock_gettime(Process::CLOCK_MONOTONIC)
  maker = LargeMaker.new(20_240_601)
  maps = maker.container({})
  (1..MAPS).each { |id| maps[id] = maker.map(id) }
  File.open(ARGV[0], 'wb') { |f| Marshal.dump(maps, f) }
  seconds = Process.clock_gettime(Process::CLOCK_MONOTONIC) - started

  puts "file #{ARGV[0]}"
  puts "bytes #{File.size(ARGV[0])}"
  puts "event_commands #{maker.commands}"
  puts "containers #{maker.containers}"
  puts "strings #{maker.strings}"
  puts format('seconds %.2f', seconds)
end
