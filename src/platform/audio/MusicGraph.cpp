// The music graph: FluidSynth renders one MIDI piece into the output's music
// stream. The player is timed by the samples we render (not by a system
// timer), so a pulled stream and a device stream behave alike, and the end of
// a piece is seen exactly, when the player's tick reaches the piece's last.
#include "platform/audio/MusicGraph.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <limits>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/audio/AudioInternal.h"
#include "platform/audio/AudioMix.h"
#include "platform/audio/MidiMasterVolume.h"
#include "platform/audio/MusicLoudness.h"
#include "platform/audio/SmfImage.h"
#include "platform/audio/SoundFonts.h"
#include "platform/audio/SoundLibraries.h"
#include "platform/diagnostics/Debug.h"
#include "platform/diagnostics/Memory.h"
#include "platform/files/Files.h"
#include "platform/window/Host.h"
#ifdef __EMSCRIPTEN__
#include "platform/web/KnownLoudness.h"
#endif

namespace platform {
namespace {
constexpr size_t kBlock = 512;             // frames per synthesis step (gain ramps over one)
constexpr size_t kMaxTailFrames = kAudioRate * 5;  // release tails end after 5 s at most

}  // namespace

namespace {

// FluidSynth logs from whatever thread it runs on; only its errors matter.
void FluidLog(int level, const char* message, void*) {
  if (level <= FLUID_ERR) std::fprintf(stderr, "fluidsynth: %s\n", message);
}

// FluidSynth's functions. Nothing calls them before a loader has made a
// synthesiser, which it does only once the library is loaded.
const sound_libraries::FluidFunctions& Fl() { return *sound_libraries::Fluid(); }

}  // namespace

struct MusicGraph::Impl {
  enum class State { Idle, Playing, Tail };

  fluid_settings_t* settings = nullptr;
  fluid_synth_t* synth = nullptr;
  std::string soundFont;
  std::string passedOver;  // why the soundfont named by VANTOREL_SOUNDFONT was not chosen
  std::thread loader;     // joined by the owning thread only
  bool loaderStarted = false;
  std::string loadError;  // written by the loader thread, read after joining
  // Set by the loader when it is done; the renderer waits on it.
  std::mutex loadMu;
  std::condition_variable loadDone;
  bool loaded = false;
  // While a piece's loudness is measured (on `measurer`, set under loadMu),
  // the synthesiser is the measurer's: the pending piece waits for it.
  bool measuring = false;
  std::thread measurer;  // joined by the owning thread only
  std::atomic<bool> cancelMeasuring{false};
  // A piece asked for while the soundfont still loads or its loudness is
  // measured: started by the first Render after that, so that Play never
  // waits for either.
  std::atomic<bool> hasPending{false};

  std::mutex mu;  // everything below; the renderer holds it while synthesising
  fluid_player_t* player = nullptr;
  State state = State::Idle;
  size_t tailFrames = 0;
  std::deque<int> events;
  std::function<void()> notify;
  // The music bus's levelling (the sound device's stream): volumes follow
  // the bus's curve and each piece is brought to one loudness. Off, the
  // volume is the plain gain and a piece plays at its own level.
  bool levelling = false;
  int32_t volume = 0;        // hundredths of a decibel, as last set
  float pieceGain = 1.0f;    // the current piece's loudness correction (levelling only)
  std::map<size_t, double> loudness;  // by the hash of a piece's bytes, in LUFS (NaN: none)
  float target = 1.0f;   // gain asked for
  float applied = 1.0f;  // gain at the end of the last block, master volume included
  // The piece's own master-volume changes, and the next one to apply.
  std::vector<MasterVolumeChange> master;
  size_t masterNext = 0;
  float masterGain = 1.0f;
  std::vector<float> block = std::vector<float>(kBlock * 2);
  std::string pending;  // SMF bytes
  int pendingTick = 0;  // where the pending piece starts
  // The place a piece was started at, until the player has gone there (its
  // own tick reads 0 until its first block).
  int seekingTo = -1;
  // While the samples are dropped (Advance), the player's note-ons are not
  // passed on and the effects are off: the synthesiser then has no voice to
  // compute, while the player's clock, its other events and the end of the
  // piece run exactly as when rendered.
  int totalTicks = 0;  // the piece's length, once the player has read it (it walks every track)
  bool dropping = false;
  bool effectsOff = false;

  static int PlayerEvent(void* data, fluid_midi_event_t* event) {
    auto* m = static_cast<Impl*>(data);
    if (m->dropping && Fl().fluid_midi_event_get_type(event) == 0x90) return FLUID_OK;
    return Fl().fluid_synth_handle_midi_event(m->synth, event);
  }
  // With mu held: effects follow `dropping`. `synth` is the loader's until
  // it reports the load done (it may be writing it right now).
  void MatchEffects() {
    if (!Ready() || !synth || effectsOff == dropping) return;
    effectsOff = dropping;
    Fl().fluid_synth_reverb_on(synth, -1, dropping ? 0 : 1);
    Fl().fluid_synth_chorus_on(synth, -1, dropping ? 0 : 1);
  }

  bool Loaded() {
    std::lock_guard lock(loadMu);
    return loaded;
  }
  void AwaitLoad() {
    std::unique_lock lock(loadMu);
    loadDone.wait(lock, [this] { return loaded; });
  }
  // The synthesiser is free for the pending piece: loaded, and not measuring.
  bool Ready() {
    std::lock_guard lock(loadMu);
    return loaded && !measuring;
  }
  void AwaitReady() {
    std::unique_lock lock(loadMu);
    loadDone.wait(lock, [this] { return loaded && !measuring; });
  }
  // With mu held.
  float VolumeTarget() const { return levelling ? MusicVolumeGain(volume) * pieceGain : DecibelGain(volume); }
  // The owning thread: ends a measurement still running (it stops within a block).
  void StopMeasuring() {
    if (!measurer.joinable()) return;
    cancelMeasuring = true;
    measurer.join();
    cancelMeasuring = false;
    std::lock_guard lock(loadMu);
    measuring = false;
  }
  // The owning thread, with the soundfont asked for and `measuring` set
  // before the piece was made pending: measures the piece on a thread of its
  // own; the render thread gives silence meanwhile.
  void Measure(const std::string& bytes, size_t key) {
    auto measure = [this, bytes, key] {
      AwaitLoad();
      double lufs = std::numeric_limits<double>::quiet_NaN();
      if (synth && !cancelMeasuring) {
        {
          std::lock_guard lock(mu);  // the old piece goes now; nothing renders until the new one starts
          if (player) Fl().delete_fluid_player(player);
          player = nullptr;
        }
        lufs = MeasureLoudness(synth, bytes, ReadMasterVolume(bytes), cancelMeasuring);
      }
      if (!cancelMeasuring) {
        std::lock_guard lock(mu);
        loudness[key] = lufs;
      }
      std::lock_guard lock(loadMu);
      measuring = false;
      loadDone.notify_all();
    };
    // Where no thread can start (the browser), measured at once.
    if (WorkerThreads())
      measurer = std::thread(measure);
    else
      measure();
  }
  // With mu held and the soundfont loaded: stops the old piece and starts
  // the new one at `tick`. False when the player refuses it.
  bool Start(const std::string& bytes, int tick) {
    if (!synth) {  // it could not be made: nothing ever sounds
      state = State::Idle;
      return false;
    }
    if (player) Fl().delete_fluid_player(player);
    Fl().fluid_synth_system_reset(synth);  // silences the old piece and clears reverb and chorus
    player = Fl().new_fluid_player(synth);
    if (player) Fl().fluid_player_set_playback_callback(player, PlayerEvent, this);
    totalTicks = 0;
    seekingTo = -1;
    // Events of the old piece must not restart the new one.
    events.clear();
    // The place is asked for before playing: the player takes any place then
    // (it knows the piece's length only once playing) and goes there as it
    // reads the file, setting what the events before it set but sounding no
    // note that began before it.
    if (player && tick > 0 && Fl().fluid_player_seek(player, tick) == FLUID_OK) seekingTo = tick;
    if (!player || Fl().fluid_player_add_mem(player, bytes.data(), bytes.size()) != FLUID_OK ||
        Fl().fluid_player_play(player) != FLUID_OK) {
      if (player) Fl().delete_fluid_player(player);
      player = nullptr;
      state = State::Idle;
      return false;
    }
    state = State::Playing;
    if (levelling) {
      auto known = loudness.find(std::hash<std::string>{}(bytes));
      pieceGain = LoudnessGain(known == loudness.end() ? std::numeric_limits<double>::quiet_NaN() : known->second);
      target = VolumeTarget();
    }
    master = ReadMasterVolume(bytes);
    masterNext = 0;
    masterGain = 1.0f;
    AdvanceMaster(seekingTo > 0 ? seekingTo : 0);  // a level set before the place holds from the first sample
    applied = target * masterGain;
    return true;
  }

  // Applies the master-volume changes up to `tick`; ticks only grow while a
  // piece plays, so each change is looked at once.
  void AdvanceMaster(int tick) {
    while (masterNext < master.size() && int64_t(master[masterNext].tick) <= int64_t(tick))
      masterGain = master[masterNext++].gain;
  }

  void WaitForSoundFont() {
    if (!loader.joinable()) return;
    loader.join();
    if (!loadError.empty()) OutputDebugString(loadError);
  }

  // Renders `frames` stereo frames into 16-bit or float samples.
  // A null `out` advances without synthesising (see `dropping`).
  template <class Sample>
  bool RenderInto(Sample* out, size_t frames, bool waitForLoad);

  // Called with mu held, after each block.
  bool CheckEnd(size_t frames) {
    if (state == State::Playing) {
      if (totalTicks <= 0) totalTicks = Fl().fluid_player_get_total_ticks(player);
      const int total = totalTicks;
      if (total > 0 && Fl().fluid_player_get_current_tick(player) >= total) {
        events.push_back(kComplete);
      } else if (Fl().fluid_player_get_status(player) == FLUID_PLAYER_DONE) {
        // Done before its last tick: the player refused the file (it may have
        // read some tracks before it gave up), or there is nothing to play.
        events.push_back(kErrorAbort);
      } else {
        return false;
      }
      Fl().fluid_synth_all_notes_off(synth, -1);  // notes left hanging must not ring forever
      state = State::Tail;
      tailFrames = 0;
      return true;
    }
    if (state == State::Tail) {
      tailFrames += frames;
      if (Fl().fluid_synth_get_active_voice_count(synth) == 0 || tailFrames >= kMaxTailFrames) state = State::Idle;
    }
    return false;
  }
};

MusicGraph::MusicGraph() : impl_(std::make_unique<Impl>()) {
  impl_->soundFont = ChooseSoundFont(&impl_->passedOver);
  audio_internal::AttachMusic(this);
}

void MusicGraph::StartLoading() {
  Impl& m = *impl_;
  if (m.loaderStarted) return;
  m.loaderStarted = true;
  // Making the synthesiser (~15 ms: voice tables and buffers) and loading
  // the soundfont (0.06 s for TimGM6mb to seconds for large fonts) both run
  // on a thread of their own, off the path to the first frame, from the
  // first piece asked for: a game without music never pays for them (about
  // 8 MiB resident). Nothing touches the synthesiser before `loaded` is set.
  // Where no thread can start (the browser), the loading is done at once.
  auto load = [&m] {
    // FluidSynth fills its shared tables when the first synthesiser is made,
    // after flagging them as done: a second one made meanwhile (by another
    // graph's loader) would read them half-filled.
    static std::mutex creation;
    std::unique_lock creating(creation);
    // The library is opened here, by the first piece: a game without music
    // never loads it (unless SDL_mixer, which links it, already has).
    std::string missing;
    const sound_libraries::FluidFunctions* fluid = sound_libraries::Fluid(&missing);
    static bool logSet = false;
    if (fluid && !logSet) {
      for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
        fluid->fluid_set_log_function(level, FluidLog, nullptr);
      logSet = true;
    }
    if (fluid) m.settings = Fl().new_fluid_settings();
    if (m.settings) {
      SetMusicSynthSettings(m.settings);  // shared with the measurement ahead of play
      m.synth = Fl().new_fluid_synth(m.settings);
    }
    creating.unlock();
    if (!fluid) {
      m.loadError = "Music: " + missing + "; music is silent.";
    } else if (!m.synth) {
      m.loadError = "Music: the synthesiser could not be created; music is silent.";
    } else {
      // The chosen soundfont, and should it fail to load after all, the
      // others in their order. One named by VANTOREL_SOUNDFONT that cannot be
      // used is said once, with the one used instead.
      std::string passedOver = m.passedOver, used;
      std::vector<std::string> candidates = SoundFontCandidates();
      std::erase_if(candidates, [&m](const std::string& c) { return c == m.soundFont; });
      if (!m.soundFont.empty()) candidates.insert(candidates.begin(), m.soundFont);
      for (const std::string& font : candidates) {
        if (!LooksLikeSoundFont(font)) continue;
        if (Fl().fluid_synth_sfload(m.synth, font.c_str(), 1) != FLUID_FAILED) {
          used = font;
          break;
        }
        if (passedOver.empty()) passedOver = "cannot load the soundfont " + font;
      }
      if (used.empty()) {
        m.loadError = passedOver.empty() ? "Music: no General MIDI soundfont found; music is silent."
                                         : "Music: " + passedOver + "; no other soundfont loads; music is silent.";
      } else if (!passedOver.empty()) {
        m.loadError = "Music: " + passedOver + "; using " + used + " instead.";
      }
    }
    // Reading the soundfont leaves megabytes of freed parser memory in this
    // thread's malloc arena; hand those pages back (3 MiB resident).
    TrimFreeMemory();
    std::lock_guard lock(m.loadMu);
    m.loaded = true;
    m.loadDone.notify_all();
  };
  if (WorkerThreads())
    m.loader = std::thread(load);
  else
    load();
}

MusicGraph::~MusicGraph() {
  audio_internal::DetachMusic(this);
  Impl& m = *impl_;
  m.StopMeasuring();
  if (m.loader.joinable()) m.loader.join();
  if (m.player) Fl().delete_fluid_player(m.player);
  if (m.synth) Fl().delete_fluid_synth(m.synth);
  if (m.settings) Fl().delete_fluid_settings(m.settings);
}

void MusicGraph::SetNotify(std::function<void()> notify) {
  std::lock_guard lock(impl_->mu);
  impl_->notify = std::move(notify);
}

bool MusicGraph::Play(std::string_view enginePath, int tick) {
  Impl& m = *impl_;
  std::string bytes;
  if (!ReadWholeFile(enginePath, bytes, file_caps::kMusic) || !ExtractSmf(bytes)) return false;
  StartLoading();
  m.StopMeasuring();  // a piece still being measured is replaced
  const size_t key = std::hash<std::string>{}(bytes);
  bool measure = false;
  {
    std::lock_guard lock(m.mu);
    measure = m.levelling && m.loudness.count(key) == 0;
  }
#ifdef __EMSCRIPTEN__
  // In the browser the measurement would run on the page's one thread, at
  // full rate (the browser's FluidSynth can no longer change it): seconds
  // with the page frozen. The page's table, measured natively when the page
  // was made, gives the loudness instead; a piece it does not know plays at
  // its own level, on the same volume curve.
  if (measure) {
    const double lufs = web::KnownLoudness(bytes);
    std::lock_guard lock(m.mu);
    if (!std::isnan(lufs)) m.loudness[key] = lufs;
  }
  measure = false;
#endif
  if (m.Loaded()) {
    m.WaitForSoundFont();  // joins the finished loader, reports its failure once
    if (!m.synth) return false;
    if (!measure) {
      std::lock_guard lock(m.mu);
      m.pending.clear();
      m.hasPending = false;
      return m.Start(bytes, tick);
    }
  }
  // The soundfont still loads, or the piece's loudness is yet to be known:
  // the piece counts as playing from now on and sounds from the first block
  // rendered after that.
  if (measure) {
    std::lock_guard lock(m.loadMu);
    m.measuring = true;
  }
  {
    std::lock_guard lock(m.mu);
    m.pending = bytes;
    m.pendingTick = tick;
    m.hasPending = true;
    m.events.clear();
    m.state = Impl::State::Playing;
    m.applied = m.target;
  }
  if (measure) m.Measure(bytes, key);
  return true;
}

void MusicGraph::SetLevelling(bool on) {
  std::lock_guard lock(impl_->mu);
  impl_->levelling = on;
  if (!on) impl_->pieceGain = 1.0f;
  impl_->target = impl_->VolumeTarget();
  if (impl_->state == Impl::State::Idle) impl_->applied = impl_->target;
}

HRESULT MusicGraph::SetVolume(int32_t hundredths) {
  std::lock_guard lock(impl_->mu);
  impl_->volume = hundredths;
  impl_->target = impl_->VolumeTarget();
  if (impl_->state == Impl::State::Idle) impl_->applied = impl_->target;
  return S_OK;
}

bool MusicGraph::GetEvent(int& code) {
  std::lock_guard lock(impl_->mu);
  if (impl_->events.empty()) return false;
  code = impl_->events.front();
  impl_->events.pop_front();
  return true;
}

bool MusicGraph::Playing() const {
  std::lock_guard lock(impl_->mu);
  return impl_->state == Impl::State::Playing;
}

int MusicGraph::Position() const {
  Impl& m = *impl_;
  std::lock_guard lock(m.mu);
  if (m.state != Impl::State::Playing) return -1;
  if (m.hasPending) return m.pendingTick;  // not started yet: it starts there
  if (!m.player) return -1;  // no synthesiser: the piece counts as playing but has no place
  if (m.seekingTo >= 0) return m.seekingTo;
  return Fl().fluid_player_get_current_tick(m.player);
}

std::string MusicGraph::SoundFontPath() const { return impl_->soundFont; }

namespace {
// Where a rendered block goes: the pulled 16-bit stream (saturated) or the
// device's float stream (as it is; the limiter comes later).
inline void Store(int16_t& to, float v) {
  to = static_cast<int16_t>(std::clamp(std::nearbyint(v * 32767.0f), -32768.0f, 32767.0f));
}
inline void Store(float& to, float v) { to = v; }
}  // namespace

template <class Sample>
bool MusicGraph::Impl::RenderInto(Sample* out, size_t frames, bool waitForLoad) {
  std::function<void()> notify;
  bool synthesised = false;
  if (hasPending) {
    if (waitForLoad) {
      AwaitReady();  // here, not under mu, which keeps the owning thread's calls free
    } else if (!Ready()) {
      if (out) std::fill(out, out + frames * 2, Sample{});
      return false;
    }
  }
  {
    std::lock_guard lock(mu);
    dropping = out == nullptr;
    MatchEffects();
    if (hasPending && !Ready()) {  // a measurement began since the check above
      if (out) std::fill(out, out + frames * 2, Sample{});
      return false;
    }
    if (hasPending) {
      hasPending = false;
      if (!Start(pending, pendingTick)) {
        events.push_back(kErrorAbort);
        notify = this->notify;
      }
      pending.clear();
    }
    size_t done = 0;
    while (done < frames) {
      if (state == State::Idle) {
        if (out) std::fill(out + done * 2, out + frames * 2, Sample{});
        break;
      }
      size_t n = std::min(frames - done, kBlock);
      float* buf = block.data();
      Fl().fluid_synth_write_float(synth, static_cast<int>(n), buf, 0, 2, buf, 1, 2);
      synthesised = true;
      seekingTo = -1;  // the player has read up to the place
      if (!out) {
        done += n;
        if (CheckEnd(n) && this->notify) notify = this->notify;
        continue;
      }
      // The gain moves linearly across the block, so volume steps do not click.
      if (player) AdvanceMaster(Fl().fluid_player_get_current_tick(player));
      float g0 = applied, g1 = target * masterGain;
      Sample* dst = out + done * 2;
      for (size_t i = 0; i < n; ++i) {
        float g = g0 == g1 ? g1 : g0 + (g1 - g0) * static_cast<float>(i + 1) / static_cast<float>(n);
        for (int c = 0; c < 2; ++c) Store(dst[i * 2 + c], buf[i * 2 + c] * g);
      }
      applied = g1;
      done += n;
      if (CheckEnd(n) && this->notify) notify = this->notify;
    }
  }
  if (notify) notify();
  return synthesised;
}

void MusicGraph::Render(int16_t* out, size_t frames, bool waitForLoad) { impl_->RenderInto(out, frames, waitForLoad); }

bool MusicGraph::Render(float* out, size_t frames, bool waitForLoad) { return impl_->RenderInto(out, frames, waitForLoad); }

void MusicGraph::Advance(size_t frames) { impl_->RenderInto(static_cast<float*>(nullptr), frames, true); }

}  // namespace platform
