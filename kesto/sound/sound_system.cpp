#include "sound/sound_system.h"

#include <cstring>

#include "core/entry_bodies.h"
#include "sound/music_handles.h"
#include "sound/sound_decoder.h"
#include "sound/sound_handles.h"
#include "sound/sound_host.h"
#include "sound/sound_state.h"

namespace audio = platform::audio;

SoundSystemState g_sound_system;
int MusicEngine = 0;
int MasterMusicVolume = 0;
int SoundDataMode = 0;

namespace {

// The port list of the start-up report (engine 1).
bool LogMusicPorts() {
  audio::DirectMusic* music = nullptr;
  if (audio::Failed(audio::CreateDirectMusic(&music))) {
    SoundLog("DirectMusic オブジェクトの取得に失敗しました\n");
    return false;
  }
  audio::DirectMusic* music8 = nullptr;
  if (audio::Failed(music->QueryInterface8(&music8))) {
    music->Release();
    SoundLog("DirectMusic8 オブジェクトの取得に失敗しました\n");
    return false;
  }
  for (uint32_t index = 0;; ++index) {
    audio::PortCaps caps;
    if (music8->EnumPort(index, &caps) != audio::kOk) break;
    // The description is plain ASCII in this stand-in; other characters
    // become '?' rather than bytes of another code page.
    char description[256];
    size_t n = 0;
    for (; n + 1 < sizeof(description) && n < std::size(caps.description) && caps.description[n] != 0; ++n) {
      description[n] = caps.description[n] < 0x80 ? static_cast<char>(caps.description[n]) : '?';
    }
    description[n] = '\0';
    SoundLogFormat("%s  Device%d:%s ", caps.port_class == audio::kPortOutputClass ? "出力ポート" : "入力ポート",
                   static_cast<int>(index), description);
  }
  music8->Release();
  music->Release();
  return true;
}

int LogSoundDeviceCallback(const void*, const char* description, const char* module, void*) {
  SoundLogFormat("モジュール名:%15s  ドライバ記述:%s ", module, description);
  return 1;
}

void MakeSilentBuffer() {
  WaveFormat format{};
  format.format_tag = audio::kFormatPcm;
  format.channels = 2;
  format.samples_per_sec = 44100;
  format.bits_per_sample = 16;
  format.block_align = 4;
  format.avg_bytes_per_sec = 176400;
  audio::BufferDesc desc;
  desc.size = 36;
  desc.flags = audio::kBufferStatic | audio::kBufferGlobalFocus;
  desc.buffer_bytes = 400;
  desc.format = &format;
  audio::SoundBuffer* silent = nullptr;
  if (audio::Failed(g_sound_system.direct_sound->CreateSoundBuffer(&desc, &silent, nullptr))) {
    SoundLog("無音バッファの作成に失敗しました");
    return;
  }
  void *p1 = nullptr, *p2 = nullptr;
  uint32_t n1 = 0, n2 = 0;
  if (silent->Lock(0, 400, &p1, &n1, &p2, &n2, 0) != audio::kOk) {
    SoundLog("無音バッファのロックに失敗しました");
    silent->Release();
    return;
  }
  std::memset(p1, 0, n1);
  if (p2 != nullptr) std::memset(p2, 0, n2);
  silent->Unlock(p1, n1, p2, n2);
  silent->Play(0, 0, audio::kPlayLooping);
  g_sound_system.silent_buffer = silent;
}

void LogDeviceReport() {
  SoundLogIndent(1);
  audio::Caps caps;
  g_sound_system.direct_sound->GetCaps(&caps);
  SoundLog("DirectSound デバイスを列挙します\n");
  SoundLogIndent(1);
  audio::AudioModule* module = audio::LoadAudioModule("DSOUND.DLL");
  if (module == nullptr) {
    SoundLog("DSOUND.DLL のロードに失敗しました\n");
    SoundLogIndent(-2);
    return;
  }
  audio::EnumerateFunction enumerate = audio::FindEnumerateFunction(module, "DirectSoundEnumerateA");
  if (enumerate == nullptr) {
    audio::FreeAudioModule(module);
    SoundLog("DirectSound デバイスの列挙用関数のポインタ取得に失敗しました\n");
    SoundLogIndent(-2);
    return;
  }
  enumerate(LogSoundDeviceCallback, nullptr);
  SoundLogIndent(-1);
  auto ok = [&caps](uint32_t bit) { return (caps.flags & bit) ? "OK" : "NO"; };
  SoundLogFormat("最大サンプリングレート:%.2fKHz 最小サンプリングレート:%.2fKHz ",
                 caps.max_secondary_rate * 0.001, caps.min_secondary_rate * 0.001);
  SoundLogFormat("総サウンドメモリ領域:%.2fKB 空きサウンドメモリ領域:%.2fKB \n", caps.total_hw_mem_bytes / 1024.0,
                 caps.free_hw_mem_bytes / 1024.0);
  SoundLog("利用可能サンプリング精度\n");
  SoundLogFormat(" プライマリ １６bit = %s  ８bit = %s ", ok(audio::kCapsPrimary16Bit), ok(audio::kCapsPrimary8Bit));
  SoundLogFormat(" セカンダリ １６bit = %s  ８bit = %s \n", ok(audio::kCapsSecondary16Bit),
                 ok(audio::kCapsSecondary8Bit));
  SoundLog("利用可能チャンネル\n");
  SoundLogFormat(" プライマリ MONO = %s  STEREO = %s ", ok(audio::kCapsPrimaryMono), ok(audio::kCapsPrimaryStereo));
  SoundLogFormat(" セカンダリ MONO = %s  STEREO = %s \n", ok(audio::kCapsSecondaryMono),
                 ok(audio::kCapsSecondaryStereo));
  SoundLogIndent(-1);
  audio::FreeAudioModule(module);
}

void ReleaseMusicObjects() {
  if (g_sound_system.music_performance != nullptr) g_sound_system.music_performance->Release();
  if (g_sound_system.music_loader != nullptr) g_sound_system.music_loader->Release();
  g_sound_system.music_performance = nullptr;
  g_sound_system.music_loader = nullptr;
}

int StartEngine1() {
  SoundLog("DirectSound8 の初期化を行います\n");
  if (audio::Failed(audio::CreateMusicLoader(&g_sound_system.music_loader))) {
    g_sound_system.music_loader = nullptr;
    SoundLog("DirectMusicLoader8 オブジェクトの作成に失敗しました\n");
    SoundLog("前バージョンでの初期化処理に移ります\n");
    MusicEngine = 0;
    return InitializeSoundSystem();
  }
  if (audio::Failed(audio::CreateMusicPerformance(&g_sound_system.music_performance))) {
    g_sound_system.music_performance = nullptr;
    SoundLog("DirectMusicPerformance オブジェクトの作成に失敗しました\n");
    ReleaseMusicObjects();
    return -1;
  }
  if (!LogMusicPorts()) {
    ReleaseMusicObjects();
    return -1;
  }
  g_sound_system.direct_sound = nullptr;
  audio::DirectMusic* music = nullptr;
  audio::AudioParams params;
  params.size = 40;
  params.init_now = 1;
  params.valid_data = 5;
  params.features = 0x3F;
  params.sample_rate = 44100;
  if (audio::Failed(g_sound_system.music_performance->InitAudio(&music, &g_sound_system.direct_sound, nullptr, 1, 64,
                                                               0x3F, &params))) {
    g_sound_system.direct_sound = nullptr;
    SoundLog("DirectMusicPerformanceオブジェクトの初期化に失敗しました\n");
    ReleaseMusicObjects();
    return -1;
  }
  int32_t master = 0;
  g_sound_system.music_performance->GetMasterVolume(&master);
  MasterMusicVolume = master;
  return 0;
}

int StartEngine0() {
  SoundLog("DirectSound の初期化を行います\n");
  SoundLog("DirectSound インターフェースの取得を行います....  ");
  if (audio::Failed(audio::CreateDirectSound(&g_sound_system.direct_sound))) {
    g_sound_system.direct_sound = nullptr;
    SoundLog("DirectSoundインターフェースの作成に失敗しました\n");
    return -1;
  }
  SoundLog("成功\n");
  SoundLog("引き続きインターフェースの初期化処理...  ");
  auto drop = [] {
    g_sound_system.direct_sound->Release();
    g_sound_system.direct_sound = nullptr;
    return -1;
  };
  if (audio::Failed(g_sound_system.direct_sound->Initialize(nullptr))) {
    SoundLog("初期化に失敗しました\n");
    return drop();
  }
  SoundLog("成功\n");
  if (audio::Failed(g_sound_system.direct_sound->SetCooperativeLevel(nullptr, audio::kCoopPriority))) {
    SoundLog("DirectSoundの協調レベルの設定に失敗しました\n");
    return drop();
  }
  audio::BufferDesc desc;
  desc.size = 36;
  desc.flags = audio::kBufferPrimary;
  if (audio::Failed(g_sound_system.direct_sound->CreateSoundBuffer(&desc, &g_sound_system.primary_buffer, nullptr))) {
    g_sound_system.primary_buffer = nullptr;
    SoundLog("DirectSoundのプライマリサウンドバッファの作成に失敗しました\n");
    return drop();
  }
  audio::Caps caps;
  g_sound_system.direct_sound->GetCaps(&caps);
  WaveFormat format{};
  format.format_tag = audio::kFormatPcm;
  format.channels = (caps.flags & audio::kCapsPrimaryStereo) ? 2 : 1;
  format.bits_per_sample = (caps.flags & audio::kCapsPrimary16Bit) ? 16 : 8;
  format.samples_per_sec = caps.max_secondary_rate < 44100 ? caps.max_secondary_rate : 44100;
  format.block_align = static_cast<uint16_t>(format.bits_per_sample / 8 * format.channels);
  format.avg_bytes_per_sec = format.block_align * format.samples_per_sec;
  if (audio::FaultSet(audio::Fault::kPrimaryFormat) ||
      audio::Failed(g_sound_system.primary_buffer->SetFormat(&format))) {
    SoundLog("DirectSoundのプライマリサウンドバッファのフォーマット設定に失敗しました\n");
  }
  return 0;
}

}  // namespace

int InitializeSoundSystem() {
  if (SoundRunning()) return -1;
  if (MusicEngine == 1) {
    const int r = StartEngine1();
    if (r != 0 || MusicEngine != 1) return r;  // failed, or fell back and finished
  } else {
    if (StartEngine0() != 0) return -1;
  }
  MakeSilentBuffer();
  SoundDataMode = 0;
  OggBytesPerSample = 2;
  if (SoundRunning()) LogDeviceReport();
  SoundLog("DirectSound の初期化は正常に終了しました\n");
  DeleteAllSoundHandles();
  return 0;
}

int ShutdownSoundSystem() {
  if (!SoundRunning()) return -1;
  DeleteAllSoundHandles();
  DeleteAllMusicHandles();
  // Whatever the engine reads now: a change of engine stores the new value
  // before it shuts the old one down.
  if (g_sound_system.music_performance != nullptr) {
    g_sound_system.music_performance->Stop();
    g_sound_system.music_performance->CloseDown();
  }
  ReleaseMusicObjects();
  if (g_sound_system.primary_buffer != nullptr) {
    g_sound_system.primary_buffer->Stop();
    g_sound_system.primary_buffer->Release();
    g_sound_system.primary_buffer = nullptr;
  }
  if (g_sound_system.silent_buffer != nullptr) {
    g_sound_system.silent_buffer->Stop();
    g_sound_system.silent_buffer->Release();
    g_sound_system.silent_buffer = nullptr;
  }
  if (g_sound_system.direct_sound != nullptr) {
    g_sound_system.direct_sound->Release();
    g_sound_system.direct_sound = nullptr;
  }
  SoundLog("DirectSound の終了処理は正常に終了しました\n");
  return 0;
}

int SelectMusicEngine(int engine) {
  if (engine == MusicEngine) return 0;
  MusicEngine = engine;
  if (!SoundRunning()) return 0;
  ShutdownSoundSystem();
  return InitializeSoundSystem();
}

int LoadSoundFileToHandleBody(const char* path) { return LoadSoundFileSingle(path); }
int StartSoundHandleBody(int sound, int play_type, int restart) { return PlaySoundHandle(sound, play_type, restart); }
int AdjustSoundHandleVolumeBody(int volume, int sound) { return SetSoundHandleVolume(volume, sound); }
int StartMusicFileBody(const char* path, int play_type) { return PlayMusicFile(path, play_type); }
int HaltMusicBody() { return StopMusicPlayback(); }
int IsMusicRunningBody() { return IsMusicPlaying(); }
int ChooseMusicEngineBody(int engine) { return SelectMusicEngine(engine); }
