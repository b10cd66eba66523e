ardour { ["type"] = "dsp", name = "Calyth HC Capture", category = "Utility", license = "MIT", author = "Calyth",
  description = [[Stores the stereo input into shared memory by transport position and passes it on]] }
local MAXF = 48000 * 20
function dsp_ioconfig () return { { audio_in = 2, audio_out = 2 } } end
function dsp_init (rate)
  self:shmem():allocate(2 * MAXF + 16)
  self:shmem():clear()
end
function dsp_run (ins, outs, n_samples)
  local shm = self:shmem()
  local data = shm:to_float(16):array()
  local rolling = Session:transport_rolling()
  local pos = Session:transport_sample()
  for c = 1, 2 do
    local i = ins[c]:array()
    local o = outs[c]:array()
    for s = 1, n_samples do
      local f = pos + s - 1
      if rolling and f < MAXF then data[1 + 2 * f + (c - 1)] = i[s] end
      o[s] = i[s]
    end
  end
  if rolling then
    local e = pos + n_samples
    if e > shm:atomic_get_int(0) then shm:atomic_set_int(0, e) end
  end
end
