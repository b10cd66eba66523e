-- A headless Ardour session around the plug-in: player -> plug-in -> capture on one stereo bus with a MIDI input.
-- env: PLUG, SESSDIR; LOAD=1 reopens the saved session (the plug-in's chunk is restored from it);
--      PARAMS="index=normalised,..." set before playing; IN_RAW/OUT_RAW (f32 stereo interleaved) to play and capture;
--      MIDI="b0 07 7f;c0 00" sent to the plug-in while rolling. Prints what the host sees of the plug-in and its
--      parameters at the end, then saves.
local sessdir = os.getenv("SESSDIR")
ARDOUR.config():set_hide_dummy_backend(false)
AudioEngine:set_backend("None (Dummy)", "", "")
local bus, player, plug, capture
if os.getenv("LOAD") == "1" then
  assert(load_session(sessdir, "calyth"), "load_session failed")
  bus = Session:route_by_name("fx")
  player, plug, capture = bus:nth_plugin(0), bus:nth_plugin(1), bus:nth_plugin(2)
else
  assert(create_session(sessdir, "calyth", 48000), "create_session failed")
  bus = Session:new_audio_route(2, 2, nil, 1, "fx", ARDOUR.PresentationInfo.Flag.AudioBus, ARDOUR.PresentationInfo.max_order):front()
  assert(bus:input():add_port("", nil, ARDOUR.DataType("midi")) == 0, "adding a MIDI port failed")
  player = ARDOUR.LuaAPI.new_luaproc(Session, "Calyth HC Player")
  plug = ARDOUR.LuaAPI.new_plugin(Session, os.getenv("PLUG"), ARDOUR.PluginType.LXVST, "")
  capture = ARDOUR.LuaAPI.new_luaproc(Session, "Calyth HC Capture")
  assert(not player:isnil() and not capture:isnil(), "helper DSP scripts not found")
  assert(not plug:isnil(), "plug-in not found")
  assert(bus:add_processor_by_index(player, 0, nil, true) == 0)
  assert(bus:add_processor_by_index(plug, 1, nil, true) == 0)
  assert(bus:add_processor_by_index(capture, 2, nil, true) == 0)
end

for idx, val in string.gmatch(os.getenv("PARAMS") or "", "(%d+)=([%d%.eE%-]+)") do
  assert(ARDOUR.LuaAPI.set_processor_param(plug, tonumber(idx), tonumber(val)))
end

local nframes = 0
local in_raw = os.getenv("IN_RAW")
if in_raw and in_raw ~= "" then
  local f = assert(io.open(in_raw, "rb")); local blob = f:read("a"); f:close()
  local nsamp = #blob // 4
  local pshm = player:to_insert():plugin(0):to_luaproc():shmem()
  local pdata = pshm:to_float(16):array()
  for i = 1, nsamp do pdata[i] = string.unpack("<f", blob, 4 * (i - 1) + 1) end
  nframes = nsamp // 2
  pshm:atomic_set_int(0, nframes)
end

Session:goto_start(false)
ARDOUR.LuaAPI.usleep(300000)
Session:request_roll(ARDOUR.TransportRequestSource.TRS_UI)
local midi = os.getenv("MIDI")
if midi and midi ~= "" then
  ARDOUR.LuaAPI.usleep(100000)
  local parser = ARDOUR.RawMidiParser()
  for msg in string.gmatch(midi, "[^;]+") do
    for hex in string.gmatch(msg, "%x%x") do
      if parser:process_byte(tonumber(hex, 16)) then
        assert(plug:to_insert():write_immediate_event(Evoral.EventType.MIDI_EVENT, parser:buffer_size(), parser:midi_buffer()))
      end
    end
    ARDOUR.LuaAPI.usleep(50000)
  end
end
local want = math.max(nframes, 4800)
local t0 = os.time()
while Session:transport_sample() < want + 4096 and os.time() - t0 < 60 do ARDOUR.LuaAPI.usleep(20000) end
Session:request_stop(false, false, ARDOUR.TransportRequestSource.TRS_UI)
ARDOUR.LuaAPI.usleep(300000)

local out_raw = os.getenv("OUT_RAW")
if out_raw and out_raw ~= "" and nframes > 0 then
  local cdata = capture:to_insert():plugin(0):to_luaproc():shmem():to_float(16):array()
  local out = assert(io.open(out_raw, "wb"))
  local parts = {}
  for i = 1, 2 * nframes do
    parts[#parts + 1] = string.pack("<f", cdata[i])
    if #parts == 4096 then out:write(table.concat(parts)); parts = {} end
  end
  out:write(table.concat(parts)); out:close()
end

local p = plug:to_insert():plugin(0)
local info = p:get_info()
print(string.format("INFO|%s|%s|%s|%d|%d|%d", p:name(), p:maker(), p:unique_id(),
  info.n_inputs:n_audio(), info.n_outputs:n_audio(), info.n_inputs:n_midi()))
for j = 0, p:parameter_count() - 1 do
  if p:parameter_is_control(j) and p:parameter_is_input(j) then
    print(string.format("PARAM|%d|%s|%.6f", j, p:parameter_label(j), (ARDOUR.LuaAPI.get_processor_param(plug, j, true))))
  end
end
io.stdout:flush()
Session:save_state("", false, false, false, false, false)
close_session()
