-- Loads the plug-in into a headless Ardour session and prints what the host sees of it.
-- env: PLUG (plug-in name), SESSDIR
ARDOUR.config():set_hide_dummy_backend(false)
AudioEngine:set_backend("None (Dummy)", "", "")
assert(create_session(os.getenv("SESSDIR"), "params", 48000), "create_session failed")
local proc = ARDOUR.LuaAPI.new_plugin(Session, os.getenv("PLUG"), ARDOUR.PluginType.LXVST, "")
assert(not proc:isnil(), "plug-in not found")
local track = Session:new_audio_track(2, 2, nil, 1, "fx", ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true):front()
track:add_processor_by_index(proc, 0, nil, true)
local p = proc:to_insert():plugin(0)
local info = p:get_info()
print(string.format("INFO|%s|%s|%s|%d|%d|%d", p:name(), p:maker(), p:unique_id(),
  info.n_inputs:n_audio(), info.n_outputs:n_audio(), info.n_inputs:n_midi()))
for j = 0, p:parameter_count() - 1 do
  if p:parameter_is_control(j) and p:parameter_is_input(j) then
    print(string.format("PARAM|%d|%s|%.6f", j, p:parameter_label(j), (ARDOUR.LuaAPI.get_processor_param(proc, j, true))))
  end
end
io.stdout:flush()
close_session()
