#!/usr/bin/env bash
# Runs every libFuzzer target of the sanitizer build at once, on seed corpora made here, for
# one wall budget. Fails when a target finds a crash, leak or time-out.
#   FLIMBS_SANITIZE_BUILD_DIR  the clang sanitizer build with FLIMBS_FUZZ=ON (default build-asan)
#   FLIMBS_FUZZ_SECONDS        the wall budget of the whole step (default 150); it grows so that
#                              every target gets at least FLIMBS_FUZZ_CORE_SECONDS (default 20)
#                              of one core when there are fewer cores than targets
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${FLIMBS_SANITIZE_BUILD_DIR:-build-asan}"
WALL_SECONDS="${FLIMBS_FUZZ_SECONDS:-150}"
CORE_SECONDS="${FLIMBS_FUZZ_CORE_SECONDS:-20}"
BIN="$BUILD_DIR/Bin"
WORK="$BUILD_DIR/fuzz"
if [ ! -x "$BIN/fuzz_archive" ]; then
  echo "fuzz.sh: $BIN has no fuzz targets; build it with -DFLIMBS_SANITIZE=ON -DFLIMBS_FUZZ=ON" >&2
  exit 1
fi

SEEDS="$WORK/seeds"
rm -rf "$SEEDS"
mkdir -p "$SEEDS/archive" "$SEEDS/xml" "$SEEDS/modes"
mkdir -p "$SEEDS/archive" "$SEEDS/xml" "$SEEDS/landscape"
mkdir -p "$SEEDS/video"

# Archives: empty, one entry, two entries (the second at an odd offset), a folder marker.
printf '\x00\x00\x00\x00' >"$SEEDS/archive/empty"
printf '\x01\x00\x00\x00''\x00\x00\x00\x00''\x05\x00\x00\x00''\x86\xa6\x10\x36''\x00\x00\x00\x00''\x00\x00''\x05\x00''a.txt''hello' \
  >"$SEEDS/archive/one"
printf '\x02\x00\x00\x00''\x00\x00\x00\x00''\x03\x00\x00\x00''\x00\x00\x00\x00''\x00\x00\x00\x00''\x00\x00''\x07\x00''Data\\x1' \
  >"$SEEDS/archive/two"
printf '\x03\x00\x00\x00''\x02\x00\x00\x00''\x00\x00\x00\x00''\x00\x00\x00\x00''\x00\x00''\x08\x00''Sub\\b.gz''abcdefg' \
  >>"$SEEDS/archive/two"
printf '\x01\x00\x00\x00''\x00\x00\x00\x00''\x00\x00\x00\x00''\x00\x00\x00\x00''\x00\x00\x00\x00''\x00\x00''\x04\x00''Sub\\' \
  >"$SEEDS/archive/marker"

# XML: a hashed level, the same gzip-compressed, a tree with searches, a comment-first root.
LEVEL='<flimbs-level hash="43FF92B54B3781434CD7B099D3782D3"><debug>d</debug><a k="v">t</a></flimbs-level>'
printf '%s' "$LEVEL" >"$SEEDS/xml/level.xml"
printf '%s' "$LEVEL" | gzip -9 -c >"$SEEDS/xml/level.gz"
printf '%s' '<?xml version="1.0"?><flimbs-level><globals><title>T &amp; U</title></globals><traps><trap><x>5</x></trap><TRAP><x>-1</x></TRAP></traps><groups><group id="1" available_group="yes"/></groups></flimbs-level>' \
  >"$SEEDS/xml/traps.xml"
printf '%s' '<r><!--c--><debug><a hash="x"/></debug><![CDATA[z]]></r>' >"$SEEDS/xml/comment.xml"

# Game-mode option blocks: every option, the rescue mode's own, bad numbers and words, none.
printf '%s' '<game-mode-state><gamemode_data><allow_paint>1</allow_paint><allow_stun>yes</allow_stun><double_fall>0</double_fall><sticky_gibs>YES</sticky_gibs><explosion_physics>1</explosion_physics><explosion_mag>55</explosion_mag><exploding_gibs>0</exploding_gibs><contagious_nova>1</contagious_nova><statsmatch>1</statsmatch><shatter_doppel>0</shatter_doppel><doublespeed_morph>4</doublespeed_morph><showMinSave>0</showMinSave></gamemode_data></game-mode-state>' \
  >"$SEEDS/modes/all.xml"
printf '%s' '<game-mode-state><gamemode_data><explosion_mag>x12</explosion_mag><doublespeed_morph>77</doublespeed_morph><allow_paint>true</allow_paint></gamemode_data></game-mode-state>' \
  >"$SEEDS/modes/bad.xml"
printf '%s' '<game-mode-state><gamemode_data/></game-mode-state>' >"$SEEDS/modes/empty.xml"
# The modes' own keys: Procure, Quarrel, Multiverse (a group out of range among them).
printf '%s' '<game-mode-state><gamemode_data><control_particle_flimb>1</control_particle_flimb><pass_particle>yes</pass_particle><allow_drop>0</allow_drop><intergroup>1</intergroup><lose_particle>1</lose_particle><friendly_fire>1</friendly_fire><self_hurt>YES</self_hurt><sabotage_flimbs>1</sabotage_flimbs><big_sabotage>1</big_sabotage><fm_group>9</fm_group><shiftFlimb>1</shiftFlimb></gamemode_data></game-mode-state>' \
  >"$SEEDS/modes/own.xml"
# Bonus item files: every kind, a bad type, a missing child text, no root.
mkdir -p "$SEEDS/bonus"
printf '%s' '<bonus-items><item type="Stamp" id="s" min_qdots="5"><description>d</description><award_msg>a</award_msg><filepath>f.png</filepath></item><item type="Decoration" id="h" min_points="30"><description>d</description><award_msg>a</award_msg><filepath>tophat</filepath></item><item type="Level" id="l" level_beaten="x.flevel"><description>d</description><award_msg>a</award_msg><filepath>L.flevel</filepath></item></bonus-items>' \
  >"$SEEDS/bonus/kinds.xml"
printf '%s' '<b><item type="Hat" min_qdots="1"/><item type="Stamp" min_fragments="x"><description/><award_msg/></item></b>' \
  >"$SEEDS/bonus/bad.xml"
printf '%s' '<?xml version="1.0"?>' >"$SEEDS/bonus/noroot.xml"
# Reliable stream: state byte, then [flags][u16 length][datagram] (the harness seals it).
mkdir -p "$SEEDS/pseudotcp" "$SEEDS/worldserver" "$SEEDS/candidates"
HEADER='\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00'
printf '\x02''\x06\x18\x00'"$HEADER"'\x05\x00\x00\x00\x03\x00\x08\x00\x00\x00AB' >"$SEEDS/pseudotcp/data"
printf '\x02''\x07\x18\x00'"$HEADER"'\x05\x00\x00\x00\x03\x00\x08\x00\x01\x00AB' >"$SEEDS/pseudotcp/deflated"
printf '\x00''\x04\x1c\x00'"$HEADER"'\x01\x00\x00\x00\x21\x00\x0c\x00\x01\x00\x00\x00\x00\x00\x00\x00' \
  >"$SEEDS/pseudotcp/connect"
printf '\x81''\x06\x14\x00'"$HEADER"'\x02\x00\x00\x00\x22\x00\x08\x00' >"$SEEDS/pseudotcp/ack"
# A datagram whose echoed time lies far ahead (it once made the round trip overflow).
echo 'AYMAABwAABsAAAAAAA0AAAAAAAAAAAAAAAAAAAAAAAcAAAAAAAAAAAAAAAAAAHwBAAAAAAAIAAAAAAEAAAAAAAAKAAA=' | base64 -d \
  >"$SEEDS/pseudotcp/future_echo"
# World server: state byte (4, 5, 6), then [u8 length-1][bytes] chunks of frames.
printf '\x00''\x08''\x05\x00\x00\x00\x2a\x03abc' >"$SEEDS/worldserver/hello"
printf '\x01''\x03''\x04\x00\x00\x00''\x03''\x08\x01\x10\x07' >"$SEEDS/worldserver/login"
printf '\x02''\x0b''\x08\x00\x00\x00\x08\x80\x80\x1c\x12\x02\x08\x2a' >"$SEEDS/worldserver/register"
printf '\x02''\x0b''\x08\x00\x00\x00\x08\x05\x1a\x04\x08\x03\x10\x07' >"$SEEDS/worldserver/peer"
# Candidates: a peer message with one host candidate and credentials.
printf '\x08\x01\x10\x02\x1a\x15\x0a\x13\x08\x00\x12\x09127.0.0.1\x42\x011\x48\x88\x27''\x2a\x06\x0a\x01u\x12\x01p' \
  >"$SEEDS/candidates/one"
# Terrain operation streams: fill then an emitting removal and a checksum; a loose block
# under step gravity; a resize, a fill and a tile copy.
printf '\x05\x01\x01\x0b\x6b\x88\xff\x01\x0a\x00\x01\x0a\x00\x01\x28\x00\x01\x28\x00''\x03\x01\x05\x00\x01\x05\x00\x01\x20\x00\x01\x20\x00\x00\x00\x01\x00\x00\x00\x00\x00\x70\x00\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\xff\x01\x00\x02\x00\x02''\x09\x01\x00\x00\x01\x00\x00\x01\xff\x00\x01\xff\x00\x01' \
  >"$SEEDS/landscape/bash"
printf '\x05\x01\x01\xff\xff\xff\xff\x01\x14\x00\x01\x00\x00\x01\x1e\x00\x01\x0a\x00''\x07\x00\x00\x01\x00\x01\x00\x00\x01\x00\x00\x01\xff\x00\x01\xff\x00' \
  >"$SEEDS/landscape/gravity"
printf '\x00\x00\x40\x00\x20\x01''\x05\x02\x01\x11\x22\x33\xff\x01\x00\x00\x01\x00\x00\x01\x7f\x00\x01\x7f\x00''\x06\x01\x00\x00\x01\x00\x00\x01\xff\x00\x01\x7f\x00\x01\x80\x00\x01\x00\x00' \
  >"$SEEDS/landscape/copy"

# Stamping: a 21-byte transform header, then a small RGBA PNG: unturned, 37 degrees at 1.3
# centred and cached, a mirrored right angle of a rectangle, raw floats (not a number), a
# destination image at half scale.
mkdir -p "$SEEDS/stamping"
python3 - "$SEEDS/stamping" <<'PY'
import struct, sys, zlib
def png(w, h):
    rows = b''.join(b'\0' + b''.join(bytes(((x * 40) % 256, (y * 60) % 256, 90, 0 if (x + y) % 4 == 3 else 255))
                                     for x in range(w)) for y in range(h))
    chunk = lambda t, c: struct.pack('>I', len(c)) + t + c + struct.pack('>I', zlib.crc32(t + c) & 0xffffffff)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(rows)) + chunk(b'IEND', b''))
def header(mode, sx, sy, rotation, rect=(0, 0, 0, 0), hot=(0, 0), pos=(10, 10)):
    scales = struct.pack('<ff', sx, sy) if mode & 0x10 else struct.pack('<bxxxbxxx', sx, sy)
    turn = struct.pack('<f', rotation) if mode & 0x10 else struct.pack('<hxx', rotation)
    return bytes([mode]) + scales + turn + struct.pack('<4b2B2b', *rect, *hot, *pos)
seeds = {'plain': header(0x20, 16, 16, 0), 'turned': header(0x25, 21, 21, 37, pos=(40, 30)),
         'mirror': header(0x48, -16, 16, 90, rect=(1, 0, 4, 3), hot=(1, 1)),
         'raw': header(0x10, float('nan'), 1.0, 1e30), 'into': header(0x80, 8, 8, 270, pos=(2, 3))}
for name, head in seeds.items():
    open(sys.argv[1] + '/' + name, 'wb').write(head + png(5, 3))
PY

# Statistics answers: [handler][body]; a level reply with records, one without rank, an
# account answer, a promotion answer asking for the picture.
mkdir -p "$SEEDS/webstats"
printf '\x00''\x0a\x04\x08\x01\x10\x25''\x0a\x04\x08\x10\x10\x05''\x10\x07' >"$SEEDS/webstats/stats"
printf '\x00''\x0a\x04\x08\x15\x10\x01' >"$SEEDS/webstats/norank"
printf '\x01''\x0a\x05pilot''\x20\x01' >"$SEEDS/webstats/valid"
printf '\x02''\x08\x01\x10\x00' >"$SEEDS/webstats/promo"

# Chat lines: [row height][scroll][view height][width] then lines split at line feeds:
# plain text, a cut multi-byte character, control codes, a long line of accents.
mkdir -p "$SEEDS/chat"
printf '\x0c\x05\x40\x20''hello there\nPilot: gg' >"$SEEDS/chat/plain"
printf '\x10\x00\x30\x08''caf\xc3\nx\xe2\x82\n\x01\x1b[0m\ttab' >"$SEEDS/chat/broken"
printf '\x0f\xff\x10\x40''%s' "$(printf '\xc3\xa9%.0s' $(seq 1 200))" >"$SEEDS/chat/long"
# Levels: the sample levels as they are shipped, one of them gzip-compressed, and a small one
# with every section.
mkdir -p "$SEEDS/level"
cp data/game/Level/s_dm_first_steps.flevel data/game/Level/f_dm_the_gardener.flevel "$SEEDS/level/"
cp data/game/Level/s_dm_exit_limit.flevel data/game/Level/s_dm_waypoints.flevel "$SEEDS/level/"
cp data/game/Level/s_dm_hazard_works.flevel data/game/Level/s_dm_moving_land.flevel "$SEEDS/level/"
cp data/game/Level/s_dm_hazard_works.flevel "$SEEDS/level/"
cp data/game/Level/s_dm_scenery.flevel "$SEEDS/level/"
gzip -9 -c data/game/Level/m_dm_twin_valleys.flevel >"$SEEDS/level/m_dm_twin_valleys.gz"
printf '%s' '<flimbs-level><globals><width>1100</width><height>800</height><gamemode>MultiverseMatch</gamemode><singleplayer>1</singleplayer></globals><groups><group id="0" group_gravity="0" default_group="1"><start><x>5</x><y>5</y></start></group><group id="9"/></groups><traps><trap><objectID>3</objectID><type>Teleport</type><x>4</x><y>4</y><trap_event><target_id>3</target_id><event_id>0</event_id></trap_event></trap><trap><type>Camera</type></trap></traps><preflimbs><flimb><posX>9</posX><posY>9</posY><group>0</group></flimb></preflimbs><primitives><prim><filename>..\x.png</filename><bashtype>18</bashtype></prim></primitives></flimbs-level>' \
  >"$SEEDS/level/small.xml"
# The trap gallery, and hostile values of its kinds: a huge liquid, no shock sections, a
# legacy gravity rule as an attribute, an unknown teleport mode and equal gate sizes.
cp data/game/Level/s_traps_gallery.flevel "$SEEDS/level/"
printf '%s' '<flimbs-level><globals><width>640</width><height>480</height><singleplayer>1</singleplayer></globals><groups><group id="0" group_gravity="0" default_group="1"/></groups><traps><trap><type>Water</type><x>5</x><y>400</y><sizex>900000</sizex><sizey>-70000</sizey><water_type>9</water_type></trap><trap><type>Shock</type><sections>0</sections></trap><trap new_gravity="7"><type>AntiGrav</type><pickup_mode>1</pickup_mode></trap><trap><type>Teleport</type><mode>Sideways</mode><destx>99999999</destx></trap><trap><type>Size</type><size-in>2</size-in><size-out>9</size-out></trap></traps></flimbs-level>' \
  >"$SEEDS/level/hostile_traps.xml"
# Ids a level cannot use and ids used twice, an unknown type, values out of range, for the
# load for editing.
printf '%s' '<flimbs-level><globals><width>1024</width><height>768</height></globals><groups><group id="0" group_gravity="0" default_group="1"/></groups><traps><trap><objectID>0</objectID><type>Start</type></trap><trap><objectID>2147483647</objectID><type>Exit</type></trap><trap><objectID>4294967295</objectID><type>Teleport</type></trap><trap><objectID>9</objectID><type>Teleport</type></trap><trap><objectID>9</objectID><type>Exit</type><trap_event><target_id>9</target_id><event_id>0</event_id></trap_event></trap><trap><objectID>12</objectID><type>Nonsense</type></trap></traps><preflimbs><flimb><objectID>4</objectID><energy>99999</energy><lightflimb>1</lightflimb></flimb><flimb><objectID>4</objectID><group>8</group></flimb></preflimbs><primitives><prim><objectID>9</objectID><filename>..\..\x.png</filename><tint>16777215</tint></prim></primitives></flimbs-level>' \
  >"$SEEDS/level/awkward_ids.xml"

# Video: a small clip with sound, one without, one cut in half.
"$BIN/video_seeds" "$SEEDS/video"

# Network command records: [u32 counter] then records back to back; playback contents.
mkdir -p "$SEEDS/netcmd" "$SEEDS/playback"
python3 - "$SEEDS" <<'PYEOF'
import struct, sys, os
seeds = sys.argv[1]
def rec(cmd, length, fields=(), stamp=0, flags=0):
    b = bytearray(length)
    b[0], b[1] = cmd, stamp
    struct.pack_into('<H', b, 2, length)
    b[4] = flags
    for at, fmt, value in fields:
        struct.pack_into(fmt, b, at, value)
    return bytes(b)
def filedata(name, total, data, first, last):
    b = bytearray(rec(36, 1312))
    b[6:6 + len(name)] = name
    struct.pack_into('<I', b, 264, total)
    b[268:268 + len(data)] = data
    struct.pack_into('<I', b, 1292, len(data))
    b[1296], b[1297] = last, first
    return bytes(b)
tick = rec(4, 6, flags=3)
chat = rec(3, 140, [(136, 'B', 1)])
chat = chat[:6] + b'Pilot: hello' + chat[18:]
trap = rec(25, 20, [(8, '<I', 5)]) + b'<trap-state/>\0'
trap = trap[:2] + struct.pack('<H', len(trap)) + trap[4:]
payload = bytes(range(256)) * 8
files = filedata(b'Level\\a.flevel', 2000, payload[:1024], 1, 0) + filedata(b'Level\\a.flevel', 2000, payload[1024:2000], 0, 1)
with open(os.path.join(seeds, 'netcmd', 'mixed'), 'wb') as f:
    f.write(struct.pack('<I', 300) + tick + chat + trap + rec(5, 12, [(8, '<I', (2 << 16) | 1)], stamp=250))
with open(os.path.join(seeds, 'netcmd', 'file'), 'wb') as f:
    f.write(struct.pack('<I', 10) + files)
gamedata = bytearray(rec(9, 116))
gamedata[6:20] = b'kpt_caves.flev'
with open(os.path.join(seeds, 'playback', 'level'), 'wb') as f:
    f.write(bytes(gamedata) + rec(0, 14, [(6, 'B', 1)]) + tick * 3 + rec(2, 16, [(6, '<H', 3), (9, 'B', 88)]) + tick)
with open(os.path.join(seeds, 'playback', 'bad'), 'wb') as f:
    f.write(tick + rec(50, 8) + tick)
PYEOF

# Trap elements: the flow kinds with their own children and links, a trap-state request, an
# empty element, out-of-range groups, rates and counts.
mkdir -p "$SEEDS/traps"
printf '%s' '<trap><type>Start</type><x>50</x><y>20</y><activated>1</activated><groupID>3</groupID><releaserate>50</releaserate><flimbCount>5</flimbCount><scale>0.5</scale><facing>7</facing><apply_protection>1</apply_protection><spawn_energy>99999</spawn_energy><ai>15</ai><trap_event><target_id>2</target_id><event_id>0</event_id></trap_event></trap>' \
  >"$SEEDS/traps/start.xml"
printf '%s' '<trap><type>Exit</type><x>50</x><y>99</y><groupID>1</groupID><scale>3</scale><default_on>1</default_on><min_flimbs>5</min_flimbs><max_flimbs>1</max_flimbs><bogus>1</bogus><exclusive>1</exclusive><trap_rotation>270</trap_rotation></trap>' \
  >"$SEEDS/traps/exit.xml"
printf '%s' '<trap-state><trap><type>Path</type><x>50</x><y>90</y><path_ordinal>-4</path_ordinal><path_set>1</path_set><can_trigger>yes</can_trigger><mcm>9</mcm><group>300</group><trigger_win>0</trigger_win></trap></trap-state>' \
  >"$SEEDS/traps/state.xml"
printf '%s' '<trap><groupID>-1</groupID><releaserate>-2147483648</releaserate><flimbCount>2147483647</flimbCount></trap>' \
  >"$SEEDS/traps/extremes.xml"
printf '%s' '<trap/>' >"$SEEDS/traps/empty.xml"
# The scripting kinds: actions naming no trap or type 9, periods of 0, frames past the
# sheet, orbits, atomizing, paths leaving the game folder, a target without its id.
printf '%s' '<trap><type>Proximity</type><x>50</x><y>90</y><trigger_delay>0</trigger_delay><multi_trigger>1</multi_trigger><min_flimbs>-3</min_flimbs><maxTriggerFlimbs>0</maxTriggerFlimbs><trigger_group>-1</trigger_group><min_magnitude>2147483647</min_magnitude><trigger_on_load>1</trigger_on_load><trigger_action><trigger_type>9</trigger_type><trigger_id>-1</trigger_id><action_delay>-5</action_delay><action_ttl>0</action_ttl></trigger_action><trigger_action><trigger_type>6</trigger_type><trigger_id>4294967295</trigger_id></trigger_action></trap>' \
  >"$SEEDS/traps/proximity.xml"
printf '%s' '<trap><type>Updater</type><trigger_mod>0</trigger_mod><trigger_val>-1</trigger_val><counter>1</counter><target_trap_id>99999999999</target_trap_id><mfmode>3</mfmode><target_trap_id>1</target_trap_id><start_frame>-2147483648</start_frame><end_frame>2147483647</end_frame><fps>0</fps><image>..\..\x.png</image></trap>' \
  >"$SEEDS/traps/updater_frames.xml"
printf '%s' '<trap><type>Modifytrap</type><x>60</x><y>90</y><can_trigger>1</can_trigger><custom_center>1</custom_center><x_center>-30000</x_center><rot_delta>1e30</rot_delta><x_pos_delta>nan</x_pos_delta><trigger_ms>1</trigger_ms><atomizeMode>-1</atomizeMode><liquid_bash>1</liquid_bash><add_to_landscape>1</add_to_landscape><liqx>-9</liqx><final_alpha>-999</final_alpha><alpha_delta>-2147483648</alpha_delta><modify_trap><trap_id>1</trap_id></modify_trap><modify_trap><trap_id></trap_id></modify_trap><modify_trap/></trap>' \
  >"$SEEDS/traps/modifytrap.xml"
printf '%s' '<trap><type>Sound</type><sound_file>..\..\..\etc\passwd</sound_file><set_background>1</set_background><message>&lt;b&gt;</message><speaker></speaker><umode>0</umode><fm_map_file>f_dm_the_gardener.flevel</fm_map_file><watchMode>4</watchMode><grav_id>-7</grav_id></trap>' \
  >"$SEEDS/traps/sound_chat_watch.xml"
printf '%s' '<trap><type>Copier</type><x>5</x><y>120</y><updates_per_copy>-7</updates_per_copy><num_copies>-2147483648</num_copies><ball_speed>-1</ball_speed><trigger_width>2000000000</trigger_width><trigger_hight>-5</trigger_hight><gravity>9</gravity><group>300</group><particle_group>-4</particle_group><flimb_size>1e30</flimb_size><scale>-3</scale><follow_mode>0</follow_mode><land_mode>3</land_mode></trap>' \
  >"$SEEDS/traps/creatures.xml"
# The manned devices and moving land: a request in a trap-state root with odd angles, gun
# types, speeds and moves; a modify-land trap with primitives inside and outside the game's
# graphics, old atomize flags, a zero speed and huge deltas.
printf '%s' '<trap-state><trap><type>Blaster</type><freeze_angle>-99999</freeze_angle><freeze_num_bounces>300</freeze_num_bounces><gun_type>7</gun_type><group>-3</group><do_eject>1</do_eject><follow_flimb>yes</follow_flimb><fuel>-5</fuel><speed>0</speed><x_move>2147483647</x_move><y_move>-2147483648</y_move><goo_angle>720</goo_angle><goo_drop>1</goo_drop></trap></trap-state>' \
  >"$SEEDS/traps/devices.xml"
printf '%s' '<trap><type>ModifyLand</type><x>40</x><y>60</y><can_trigger>1</can_trigger><trigger_width>99999999</trigger_width><trigger_hight>-4</trigger_hight><atomizeMode>-1</atomizeMode><liquid_bash>1</liquid_bash><mod_speed>0</mod_speed><rot_delta>1e30</rot_delta><x_pos_delta>-7.5</x_pos_delta><x_final_pos>-100000</x_final_pos><x_delta>-3</x_delta><x_final_scale>-9</x_final_scale><platform>1</platform><restore_land>1</restore_land><custom_center>1</custom_center><x_center>70</x_center><liqx>0</liqx><modify_prim><objectID>5</objectID><posX>40</posX><posY>90</posY><filename>Graphics\Terrain\slab.png</filename></modify_prim><modify_prim><objectID>6</objectID><filename>..\..\etc\passwd</filename><scaleX>nan</scaleX></modify_prim></trap>' \
  >"$SEEDS/traps/modify_land.xml"
# The pickup, flow and scenery kinds: counters, factors and times beyond their ranges, an
# unknown bonus word, image names that leave the game folder, tile counts, font steps.
printf '%s' '<trap><type>Actions</type><x>5</x><y>90</y><trap_action_type>267</trap_action_type><num_items>100000</num_items><force_action>1</force_action><facing>9</facing><group>300</group><targetGroupID>-4</targetGroupID><target_trap_id>1</target_trap_id><alternate>yes</alternate></trap>' \
  >"$SEEDS/traps/actions.xml"
printf '%s' '<trap><type>Speed</type><x>5</x><y>90</y><speed_trap_mode>200</speed_trap_mode><speed_trap_factor>-3</speed_trap_factor><speed_trap_time>2147483647</speed_trap_time><group>255</group></trap>' \
  >"$SEEDS/traps/speed.xml"
printf '%s' '<trap><type>Bonus</type><bonus_type>stamp</bonus_type><bonus_item_id>..\x</bonus_item_id><force_action>1</force_action></trap>' \
  >"$SEEDS/traps/bonus.xml"
printf '%s' '<trap><type>Camera</type><min_roll>1e39</min_roll><max_roll>-5</max_roll><destx>-2147483648</destx><camera_mode>0</camera_mode><transition_time>-1</transition_time><destZoom>nan</destZoom></trap>' \
  >"$SEEDS/traps/camera.xml"
printf '%s' '<trap><type>Background</type><back_image>..\..\etc\passwd</back_image><tile_x>-3</tile_x><tile_y>900</tile_y><animated>1</animated><frame_x>0</frame_x><frame_y>-5</frame_y><fps>0</fps><circle_rotate>1</circle_rotate><margin_left>9999</margin_left><z_dist>-100000</z_dist></trap>' \
  >"$SEEDS/traps/background.xml"
printf '%s' '<trap><type>Sky</type><sky_image>Graphics\\\\nothing.png</sky_image><vx>1e30</vx><rot>-1e30</rot><sky_base_color>99999999999</sky_base_color></trap>' \
  >"$SEEDS/traps/sky.xml"
printf '%s' '<trap-state><trap><type>Annotation</type><message>a\nb&lt;br&gt;c</message><font_scale>-9</font_scale><font_style>Nope</font_style><annotationMode>7</annotationMode><arrow_x>5</arrow_x><closed>1</closed><follow_flimb>1</follow_flimb><enabled>0</enabled></trap></trap-state>' \
  >"$SEEDS/traps/annotation.xml"

# Level packages: a package of sample levels with a preview and its description, one whose
# names leave the level folder, an empty archive, a stored entry whose header lies about its
# size.
mkdir -p "$SEEDS/package"
python3 - "$SEEDS/package" <<'PYEOF'
import os, sys, warnings, zipfile, zlib
warnings.simplefilter('ignore')  # the repeated name is meant
seeds = sys.argv[1]
def level(name):
    with open(os.path.join('data/game/Level', name), 'rb') as f:
        return f.read()
with zipfile.ZipFile(os.path.join(seeds, 'levels'), 'w', zipfile.ZIP_DEFLATED) as z:
    z.writestr('m_dm_three_hills.flevel', level('m_dm_three_hills.flevel'))
    z.writestr('m_dm_three_hills_big.jpg', b'\xff\xd8\xff\xe0')
    z.writestr('f_dm_pack-AB12C.flevel', zlib.compress(b'<flimbs-level><globals><title>B</title></globals></flimbs-level>'))
    z.writestr('package.xml', '<package_info><title>T</title><description>D</description></package_info>')
with zipfile.ZipFile(os.path.join(seeds, 'hostile'), 'w', zipfile.ZIP_STORED) as z:
    for name in ['../x.flevel', '/x.flevel', 'a/b.flevel', '..\\x.flevel', 'C:x.flevel', 'm_a.flevel', 'm_a.flevel']:
        z.writestr(name, '<flimbs-level><globals><title>x</title></globals></flimbs-level>')
with zipfile.ZipFile(os.path.join(seeds, 'empty'), 'w') as z:
    pass
with zipfile.ZipFile(os.path.join(seeds, 'lying'), 'w', zipfile.ZIP_STORED) as z:
    z.writestr('m_b.flevel', '<flimbs-level/>' * 20)
data = bytearray(open(os.path.join(seeds, 'lying'), 'rb').read())
at = data.find(b'PK\x01\x02')
data[at + 24:at + 28] = (5).to_bytes(4, 'little')  # the directory's uncompressed size
open(os.path.join(seeds, 'lying'), 'wb').write(bytes(data))
PYEOF

# Every target with its corpus folder.
TARGETS=(
  "fuzz_archive archive" "fuzz_xml xml" "fuzz_video video" "fuzz_mode_options modes"
  "fuzz_pseudotcp pseudotcp" "fuzz_worldserver worldserver" "fuzz_candidates candidates"
  "fuzz_webstats_reply webstats" "fuzz_landscape landscape" "fuzz_bonus_items bonus"
  "fuzz_stamping stamping" "fuzz_chat_text chat" "fuzz_level level" "fuzz_trap_load traps"
  "fuzz_netcmd netcmd" "fuzz_playback playback" "fuzz_package package")

cores=$(nproc)
needed=$(( (CORE_SECONDS * ${#TARGETS[@]} + cores - 1) / cores ))
[ "$needed" -gt "$WALL_SECONDS" ] && WALL_SECONDS=$needed
echo "fuzz.sh: ${#TARGETS[@]} targets at once for ${WALL_SECONDS}s on $cores cores"

mkdir -p "$WORK/artifacts"
pids=()
for entry in "${TARGETS[@]}"; do
  read -r target corpus <<<"$entry"
  mkdir -p "$WORK/corpus-$target"
  # Each target gets a home of its own: one target's files (fonts cached, logs) must not
  # look like another's output.
  rm -rf "$WORK/home-$target" && mkdir -p "$WORK/home-$target"
  home_dir="$(cd "$WORK/home-$target" && pwd)"
  # An input's own limit is generous: the targets share the cores.
  FLIMBS_HOME="$home_dir" "$BIN/$target" "$WORK/corpus-$target" "$SEEDS/$corpus" \
    -max_total_time="$WALL_SECONDS" -timeout=60 -rss_limit_mb=2048 -max_len=65536 \
    -print_final_stats=1 -artifact_prefix="$WORK/artifacts/$target-" >"$WORK/$target.log" 2>&1 &
  pids+=("$!")
done

failed=0
for i in "${!TARGETS[@]}"; do
  read -r target corpus <<<"${TARGETS[$i]}"
  if wait "${pids[$i]}"; then
    echo "fuzz.sh: $target $(grep -E '^stat::number_of_executed_units' "$WORK/$target.log" | awk '{print $2}') runs"
  else
    echo "fuzz.sh: $target found a fault; see $WORK/$target.log and $WORK/artifacts/" >&2
    tail -40 "$WORK/$target.log" >&2
    failed=1
  fi
done
[ "$failed" -eq 0 ] || exit 1
echo "fuzz.sh: no findings"
