// FluidSynth's functions over the page's FluidSynth module (Module.fluid,
// set by the page once it is ready). Its pointers (synthesiser, player,
// events) are addresses in its own memory and pass through the engine
// unread; what the engine's pointers point to (names, MIDI bytes, sample
// buffers) is copied across. A soundfont is copied from the engine's files
// into the module's on loading, under the same path.
#include "platform/web/FluidWeb.h"

#include <emscripten.h>

namespace {

// Sets up Module.vtFluid, the helpers the calls below share; false when the
// page has no FluidSynth module.
EM_JS(int, vantorel_fluid_ready, (), {
  const fm = Module.fluid;
  if (!fm || typeof fm._new_fluid_synth !== "function") return 0;
  if (Module.vtFluid) return 1;
  const v = {
    fm: fm,
    scratch: 0,
    scratchBytes: 0,
    handlers: new Map(),
    synths: new Map(),  // each synthesiser made and not yet deleted: a token of its own
    // A C string of ours (or a JavaScript string) as one of the module's
    // (the caller frees it).
    str: function(ptr) {
      const bytes = new TextEncoder().encode(typeof ptr === "string" ? ptr : UTF8ToString(ptr));
      const p = fm._malloc(bytes.length + 1);
      fm.HEAPU8.set(bytes, p);
      fm.HEAPU8[p + bytes.length] = 0;
      return p;
    },
    // A buffer of the module's of at least `bytes`, reused between calls.
    buffer: function(bytes) {
      if (v.scratchBytes < bytes) {
        if (v.scratch) fm._free(v.scratch);
        v.scratch = fm._malloc(bytes);
        v.scratchBytes = v.scratch ? bytes : 0;
      }
      return v.scratch;
    },
  };
  Module.vtFluid = v;
  return 1;
});

EM_JS(fluid_log_function_t, vantorel_fluid_set_log_function, (int level, fluid_log_function_t fun, void* data), {
  // The module's messages go to the console, its errors only, as the
  // engine's handler does on Linux; but this build's stand-ins for file
  // times (which the soundfont loader asks for) say at every call that they
  // are stand-ins: those are dropped.
  const v = Module.vtFluid;
  if (!v.log) {
    v.log = v.fm.addFunction(function(level, message, data) {
      if (level > 1) return;  // FLUID_ERR
      const heap = v.fm.HEAPU8;
      let end = message;
      while (heap[end]) end++;
      const text = new TextDecoder().decode(heap.subarray(message, end));
      if (!text.includes("is a stub")) console.warn("fluidsynth: " + text);
    }, "viii");
  }
  v.fm._fluid_set_log_function(level, v.log, 0);
  return 0;
});
EM_JS(fluid_settings_t*, vantorel_new_fluid_settings, (), { return Module.vtFluid.fm._new_fluid_settings(); });
EM_JS(void, vantorel_delete_fluid_settings, (fluid_settings_t* s), { Module.vtFluid.fm._delete_fluid_settings(s); });
EM_JS(int, vantorel_fluid_settings_setint, (fluid_settings_t* s, const char* name, int value), {
  const v = Module.vtFluid, n = v.str(name);
  const r = v.fm._fluid_settings_setint(s, n, value);
  v.fm._free(n);
  return r;
});
EM_JS(int, vantorel_fluid_settings_setnum, (fluid_settings_t* s, const char* name, double value), {
  const v = Module.vtFluid, n = v.str(name);
  const r = v.fm._fluid_settings_setnum(s, n, value);
  v.fm._free(n);
  return r;
});
EM_JS(int, vantorel_fluid_settings_setstr, (fluid_settings_t* s, const char* name, const char* value), {
  const v = Module.vtFluid, n = v.str(name), t = v.str(value);
  const r = v.fm._fluid_settings_setstr(s, n, t);
  v.fm._free(n);
  v.fm._free(t);
  return r;
});
EM_JS(fluid_synth_t*, vantorel_new_fluid_synth, (fluid_settings_t* s), {
  const v = Module.vtFluid, synth = v.fm._new_fluid_synth(s);
  if (synth) v.synths.set(synth, {});
  return synth;
});
EM_JS(void, vantorel_delete_fluid_synth, (fluid_synth_t* s), {
  Module.vtFluid.synths.delete(s);
  Module.vtFluid.fm._delete_fluid_synth(s);
});
EM_JS(int, vantorel_fluid_synth_sfload, (fluid_synth_t* s, const char* file, int reset), {
  const v = Module.vtFluid, path = UTF8ToString(file);
  // Loads the bytes into the module's files under the engine's path, then
  // into the synthesiser; FLUID_FAILED (-1) when that fails.
  const load = bytes => {
    try {
      const dir = path.substring(0, path.lastIndexOf("/"));
      if (dir) v.fm.FS.mkdirTree(dir);
      v.fm.FS.writeFile(path, bytes);
    } catch (e) { return -1; }
    const n = v.str(path);
    const r = v.fm._fluid_synth_sfload(s, n, reset);
    v.fm._free(n);
    return r;
  };
  // A soundfont the page fetches (web/sound.js): the engine's file is its
  // header only. Its bytes once they are in; until then a promise of them
  // (null: they did not come). The page fetches them only once the first
  // frame is painted, so their parsing (0.1-0.2 s) stays off the path to
  // it. Loaded on arrival into the synthesiser if that still exists: a
  // reset load, which chooses again the programs the channels asked for
  // meanwhile. The id given now is the one the synthesiser's first
  // soundfont gets.
  const fetched = Module.soundFonts ? Module.soundFonts[path] : undefined;
  if (fetched === null) return -1;
  if (fetched) {
    // (a synthesiser made later at the same address has another token)
    const token = v.synths.get(s);
    Promise.resolve(fetched).then(bytes => {
      if (!bytes || v.synths.get(s) !== token) return;
      if (load(bytes) < 0) console.warn("fluidsynth: cannot load the soundfont " + path + ": the music is silent");
    });
    return 1;
  }
  let bytes;
  try { bytes = FS.readFile(path); } catch (e) { return -1; }
  return load(bytes);
});
EM_JS(int, vantorel_fluid_synth_write_float,
      (fluid_synth_t* s, int len, void* lout, int loff, int lincr, void* rout, int roff, int rincr), {
  if (len <= 0) return 0;
  // The floats either side writes, from its pointer: one buffer of the
  // module's for both when they share ours (interleaved stereo), else two.
  const v = Module.vtFluid;
  const spanL = loff + (len - 1) * lincr + 1, spanR = roff + (len - 1) * rincr + 1;
  const shared = lout === rout;
  const floats = shared ? Math.max(spanL, spanR) : spanL + spanR;
  const b = v.buffer(floats * 4);
  if (!b) return -1;
  const bl = b, br = shared ? b : b + spanL * 4;
  const r = v.fm._fluid_synth_write_float(s, len, bl, loff, lincr, br, roff, rincr);
  const from = v.fm.HEAPF32;
  if (shared) {
    HEAPF32.set(from.subarray(bl >> 2, (bl >> 2) + floats), lout >> 2);
  } else {
    HEAPF32.set(from.subarray(bl >> 2, (bl >> 2) + spanL), lout >> 2);
    HEAPF32.set(from.subarray(br >> 2, (br >> 2) + spanR), rout >> 2);
  }
  return r;
});
EM_JS(int, vantorel_fluid_synth_handle_midi_event, (void* synth, fluid_midi_event_t* e), {
  return Module.vtFluid.fm._fluid_synth_handle_midi_event(synth, e);
});
EM_JS(int, vantorel_fluid_synth_system_reset, (fluid_synth_t* s), { return Module.vtFluid.fm._fluid_synth_system_reset(s); });
EM_JS(int, vantorel_fluid_synth_all_notes_off, (fluid_synth_t* s, int channel), {
  return Module.vtFluid.fm._fluid_synth_all_notes_off(s, channel);
});
EM_JS(int, vantorel_fluid_synth_reverb_on, (fluid_synth_t* s, int group, int on), {
  return Module.vtFluid.fm._fluid_synth_reverb_on(s, group, on);
});
EM_JS(int, vantorel_fluid_synth_chorus_on, (fluid_synth_t* s, int group, int on), {
  return Module.vtFluid.fm._fluid_synth_chorus_on(s, group, on);
});
EM_JS(int, vantorel_fluid_synth_get_active_voice_count, (fluid_synth_t* s), {
  return Module.vtFluid.fm._fluid_synth_get_active_voice_count(s);
});
EM_JS(int, vantorel_fluid_midi_event_get_type, (const fluid_midi_event_t* e), {
  return Module.vtFluid.fm._fluid_midi_event_get_type(e);
});
EM_JS(fluid_player_t*, vantorel_new_fluid_player, (fluid_synth_t* s), { return Module.vtFluid.fm._new_fluid_player(s); });
EM_JS(void, vantorel_delete_fluid_player, (fluid_player_t* p), { Module.vtFluid.fm._delete_fluid_player(p); });
EM_JS(int, vantorel_fluid_player_set_playback_callback, (fluid_player_t* p, handle_midi_event_func_t handler, void* data), {
  // The module calls a function of its own table, which calls ours; one
  // per handler of ours, made once.
  const v = Module.vtFluid;
  let f = v.handlers.get(handler);
  if (f === undefined) {
    const ours = wasmTable.get(handler);
    f = v.fm.addFunction(function(d, e) { return ours(d, e); }, "iii");
    v.handlers.set(handler, f);
  }
  return v.fm._fluid_player_set_playback_callback(p, f, data);
});
EM_JS(int, vantorel_fluid_player_add_mem, (fluid_player_t* p, const void* buffer, size_t len), {
  const v = Module.vtFluid;
  const b = v.fm._malloc(len);
  if (!b) return -1;
  v.fm.HEAPU8.set(HEAPU8.subarray(buffer, buffer + len), b);
  // The player copies the bytes it is given.
  const r = v.fm._fluid_player_add_mem(p, b, len);
  v.fm._free(b);
  return r;
});
EM_JS(int, vantorel_fluid_player_play, (fluid_player_t* p), { return Module.vtFluid.fm._fluid_player_play(p); });
EM_JS(int, vantorel_fluid_player_get_status, (fluid_player_t* p), { return Module.vtFluid.fm._fluid_player_get_status(p); });
EM_JS(int, vantorel_fluid_player_get_total_ticks, (fluid_player_t* p), {
  return Module.vtFluid.fm._fluid_player_get_total_ticks(p);
});
EM_JS(int, vantorel_fluid_player_get_current_tick, (fluid_player_t* p), {
  return Module.vtFluid.fm._fluid_player_get_current_tick(p);
});
EM_JS(int, vantorel_fluid_player_seek, (fluid_player_t* p, int ticks), {
  return Module.vtFluid.fm._fluid_player_seek(p, ticks);
});

}  // namespace

namespace platform::web {

#define VANTOREL_WEB_FLUID_FUNCTION(name) f.name = &vantorel_##name;

const sound_libraries::FluidFunctions* Fluid(std::string* why) {
  static const bool ready = vantorel_fluid_ready() != 0;
  static const sound_libraries::FluidFunctions functions = [] {
    sound_libraries::FluidFunctions f;
    VANTOREL_FLUID_FUNCTIONS(VANTOREL_WEB_FLUID_FUNCTION)
    return f;
  }();
  if (why) *why = ready ? "" : "the page carries no FluidSynth";
  return ready ? &functions : nullptr;
}

}  // namespace platform::web
