ardour { ["type"] = "dsp", name = "Calyth HC Player", category = "Utility", license = "MIT", author = "Calyth",
  description = [[Plays stereo float data from shared memory by transport position and passes MIDI on]] }
local MAXF = 48000 * 20
function dsp_ioconfig () return { { audio_in = 2, audio_out = 2, midi_in = 1, midi_out = 1 }, { audio_in = 2, audio_out = 2 } } end
function dsp_init (rate)
  self:shmem():allocate(2 * MAXF + 16)
  self:shmem():clear()
end
function dsp_run (ins, outs, n_samples)
  local shm = self:shmem()
  local nframes = shm:atomic_get_int(0)
  local data = shm:to_float(16):array()
  if type(midiin) == "table" and type(midiout) == "table" then
    for i, ev in ipairs(midiin) do midiout[i] = { time = ev.time, data = ev.data } end
  end
  local rolling = Session:transport_rolling()
  local pos = Session:transport_sample()
  for c = 1, 2 do
    local o = outs[c]:array()
    for s = 1, n_samples do
      local f = pos + s - 1
      if rolling and f < nframes then o[s] = data[1 + 2 * f + (c - 1)] else o[s] = 0 end
    end
  end
end
