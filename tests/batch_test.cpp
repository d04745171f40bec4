// batch_test.cpp - a batch's plan without running it: which lists are refused
// (places written twice, nested, outside the list's directory, a results file
// that would replace something), what each row's run is given (paths, seeds,
// --force), and when a row's earlier output counts as complete. Each test
// works in a temporary directory of its own.
#include "audio_pop.h"
#include "batch_done.h"
#include "batch_list.h"
#include "batch_plan.h"
#include "options.h"
#include "png_write.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

class Batch : public testing::Test {
protected:
    std::string dir;  // the test's own directory, where the list is

    void SetUp() override
    {
        char name[] = "/tmp/batch_test.XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir = name;
    }
    void TearDown() override { EXPECT_EQ(system(("rm -rf '" + dir + "'").c_str()), 0); }

    std::string at(const std::string& name) const { return dir + "/" + name; }

    void write(const std::string& name, const std::string& text) const
    {
        std::ofstream(at(name), std::ios::binary) << text;
    }

    void run(const std::string& command) const
    {
        ASSERT_EQ(system(("cd '" + dir + "' && " + command).c_str()), 0) << command;
    }

    // The options of `vexa-capture --batch LIST ARGS...`.
    capture_options options(const std::string& list, std::vector<std::string> args = {})
    {
        static std::vector<std::string> kept;  // given_option points into them
        kept = {"vexa-capture", "--batch=" + at(list)};
        kept.insert(kept.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : kept)
            argv.push_back(&a[0]);
        capture_options o;
        EXPECT_EQ(parse_options((int)argv.size(), argv.data(), &o), 0);
        return o;
    }

    // The plan of list (named for its kind); its status, and what it said.
    int plan(const std::string& list, const capture_options& o, std::vector<batch_job>* jobs, std::string* said)
    {
        std::ifstream in(at(list), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        batch_list l;
        testing::internal::CaptureStderr();
        const bool csv = list.size() > 4 && list.compare(list.size() - 4, 4, ".csv") == 0;
        int status = csv ? batch_csv_read(o.batch, text, &l) : batch_jsonl_read(o.batch, text, &l);
        if (status == 0)
            status = batch_plan(o, l, jobs);
        *said = testing::internal::GetCapturedStderr();
        return status;
    }
};

// The options a row's run is given, as it reads them.
capture_options row_options(const batch_job& job)
{
    static std::vector<std::string> kept;  // the options point into them
    kept = {"vexa-capture"};
    kept.insert(kept.end(), job.args.begin(), job.args.end());
    std::vector<char*> argv;
    for (std::string& a : kept)
        argv.push_back(&a[0]);
    capture_options o;
    testing::internal::CaptureStderr();
    EXPECT_EQ(parse_options((int)argv.size(), argv.data(), &o), 0) << testing::internal::GetCapturedStderr();
    testing::internal::GetCapturedStderr();
    return o;
}

// Lists whose shape is refused (status 2, one line saying so), and the
// ones beside them that pass. set_up runs first in the test's directory.
struct shape_case {
    const char* what;
    const char* set_up;
    const char* list;  // l.csv, or l.jsonl when it starts with '{'
    const char* says;  // nullptr: accepted
};

const shape_case shape_cases[] = {
    {"cues above the list", "true", "out,cues\na.mp4,../x.vtt\n", "../x.vtt lies outside the list's directory"},
    {"an absolute out", "true", "out\n/tmp/x.mp4\n", "/tmp/x.mp4 lies outside"},
    {"an absolute cues", "true", "out,cues\na.mp4,/tmp/x.vtt\n", "/tmp/x.vtt lies outside"},
    {"up through a missing directory", "true", "out\nsub/../../x.mp4\n", "sub/../../x.mp4 lies outside"},
    {"down and up again, inside", "true", "out\nsub/../x.mp4\n", nullptr},
    {"out through a link to a directory outside", "ln -s /tmp lnk", "out\nlnk/a.mp4\n", "lnk/a.mp4 lies outside"},
    {"cues through a link to a directory outside", "ln -s /tmp lnk", "out,cues\na.mp4,lnk/a.vtt\n",
     "lnk/a.vtt lies outside"},
    {"a link inside the list's directory", "mkdir real && ln -s real lnk", "out\nlnk/a.mp4\n", nullptr},
    {"one file through a linked directory", "mkdir real && ln -s real lnk", "out\nreal/a.mp4\nlnk/a.mp4\n",
     "rows 0 and 1 both write real/a.mp4 (as lnk/a.mp4)"},
    {"one file by two hard links", "touch a.mp4 && ln a.mp4 b.mp4", "out\na.mp4\nb.mp4\n",
     "rows 0 and 1 both write a.mp4 (as b.mp4)"},
    {"one file spelt twice", "true", "out\nsub/x.mp4\nsub//./x.mp4\n", "rows 0 and 1 both write sub/x.mp4"},
    {"one cues file for two rows", "true", "out,cues\na.mp4,c.vtt\nb.mp4,./c.vtt\n", "rows 0 and 1 both write c.vtt"},
    {"a picture in another row's frames", "true", "out,time\nq/,\nq/frame-00000.png,0\n",
     "row 1's q/frame-00000.png lies inside row 0's q/"},
    {"a video in another row's frames", "mkdir q", "out\nq\nq/a.mp4\n", "row 1's q/a.mp4 lies inside row 0's q"},
    {"cues in another row's frames", "true", "out,cues\nq/,\na.mp4,q/a.vtt\n", "row 1's cues q/a.vtt lies inside"},
    {"cues in its own row's frames", "true", "out,cues\nq/,q/a.vtt\n", nullptr},
    {"--jobs as a column", "true", "out,jobs\na.mp4,2\n", "--jobs is for the whole batch"},
    {"--force as a column", "true", "out,force\na.mp4,1\n", "--force is for the whole batch"},
    {"--results as a column", "true", "out,results\na.mp4,r.jsonl\n", "--results is for the whole batch"},
    {"a column name with a NUL", "true", "{\"out\":\"a.mp4\",\"ti\\u0000tle\":\"x\"}\n", "holds a NUL"},
    // Text cells refused as the same text on a command line is.
    {"a tab in a title", "true", "out,title\na.mp4,ok\nb.mp4,\"a\tb\"\n",
     "l.csv:3: row 1, column title: the title \"a\\tb\": a tab cannot be set; give one line of text"},
    {"a line break in a subtitle", "true", "out,subtitle\na.mp4,\"x\ny\"\n",
     "row 0, column subtitle: the subtitle \"x\\ny\": a line break cannot be set"},
    {"a control character in a strip", "true", "{\"out\":\"a.mp4\",\"line\":[\"ok\",\"b\\u0007\"]}\n",
     "row 0, column line: line 2 \"b\\x07\": a control character cannot be set"},
    {"a next line (C1) in a title", "true", "{\"out\":\"a.mp4\",\"title\":\"a\\u0085b\"}\n",
     "row 0, column title: the title \"a\\u0085b\": a line break"},
    {"bytes that are not UTF-8 in a title", "true", "out,title\na.mp4,\xff\n",
     "row 0, column title: the title is not valid UTF-8"},
    {"a line cell's line breaks part its strips", "true", "out,line\na.mp4,\"one\r\ntwo\"\n", nullptr},
};

TEST_F(Batch, ShapesRefused)
{
    for (const shape_case& c : shape_cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(system(("rm -rf '" + dir + "'/* && cd '" + dir + "' && (" + c.set_up + ") >/dev/null 2>&1").c_str()), 0);
        const std::string list = c.list[0] == '{' ? "l.jsonl" : "l.csv";
        write(list, c.list);
        std::vector<batch_job> jobs;
        std::string said;
        const int status = plan(list, options(list), &jobs, &said);
        if (c.says) {
            EXPECT_EQ(status, 2);
            EXPECT_NE(said.find(c.says), std::string::npos) << said;
            EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        } else {
            EXPECT_EQ(status, 0) << said;
        }
    }
}

TEST_F(Batch, AllowPathsLetsAPlaceOutside)
{
    write("l.csv", "out,cues\n../x.mp4,/tmp/x.vtt\n");
    std::vector<batch_job> jobs;
    std::string said;
    EXPECT_EQ(plan("l.csv", options("l.csv", {"--allow-paths"}), &jobs, &said), 0) << said;
}

// A NUL cannot reach a row's run (a command line would cut it): the row fails alone.
TEST_F(Batch, NulInACellFailsItsRow)
{
    write("l.jsonl", "{\"out\":\"a.mp4\\u0000x\"}\n{\"out\":\"a.mp4\\u0000y\"}\n{\"out\":\"b.mp4\",\"title\":\"Ab\\u0000cd\"}\n"
                     "{\"out\":\"c.mp4\",\"title\":\"Abcd\"}\n");
    std::vector<batch_job> jobs;
    std::string said;
    ASSERT_EQ(plan("l.jsonl", options("l.jsonl"), &jobs, &said), 0) << said;
    EXPECT_NE(jobs[0].fault.find("out holds a NUL"), std::string::npos);
    EXPECT_NE(jobs[1].fault.find("out holds a NUL"), std::string::npos);
    EXPECT_NE(jobs[2].fault.find("title holds a NUL"), std::string::npos);
    EXPECT_EQ(jobs[3].fault, "");
}

// What each row's run is given: paths from the list's directory, the seed the
// results file reports, --force and --jobs 1 for a directory of frames.
TEST_F(Batch, RowsRunWithTheirPathsAndSeeds)
{
    write("l.csv", "out,seed,photo-image,cues,lines\n"
                   "a.mp4,,p.jpg,a.vtt,\n"
                   "b.mp4,42,,,s.txt\n"
                   "q/,,,,\n"
                   "c.mp4,,/abs/p.jpg,,\n");
    for (const bool command_line_seed : {false, true}) {
        SCOPED_TRACE(command_line_seed ? "--seed 7" : "no --seed");
        std::vector<batch_job> jobs;
        std::string said;
        ASSERT_EQ(plan("l.csv", options("l.csv", command_line_seed ? std::vector<std::string>{"--seed=7"}
                                                                    : std::vector<std::string>{}),
                       &jobs, &said), 0) << said;
        const uint32_t seeds[] = {command_line_seed ? 7u : 0u, 42, command_line_seed ? 7u : 2u, command_line_seed ? 7u : 3u};
        for (size_t r = 0; r < jobs.size(); ++r) {
            const capture_options o = row_options(jobs[r]);
            EXPECT_TRUE(jobs[r].has_seed);
            EXPECT_EQ(jobs[r].seed, seeds[r]) << "row " << r;
            EXPECT_EQ(o.seed, jobs[r].seed) << "row " << r << ": the run's seed is the one reported";
            EXPECT_EQ(std::string(o.out), jobs[r].out_path);
        }
        EXPECT_EQ(jobs[0].out_path, at("a.mp4"));
        EXPECT_EQ(std::string(row_options(jobs[0]).art.photo), at("p.jpg"));
        EXPECT_EQ(std::string(row_options(jobs[0]).cues), at("a.vtt"));
        EXPECT_EQ(std::string(row_options(jobs[3]).art.photo), "/abs/p.jpg");
        const capture_options frames = row_options(jobs[2]);
        EXPECT_TRUE(frames.force) << "a directory row replaces an unfinished set";
        EXPECT_EQ(frames.jobs, 1);
        ASSERT_EQ(jobs[0].writes.size(), 2u);
        EXPECT_EQ(jobs[0].writes[1].path, at("a.vtt"));
    }
}

// A results file that would replace the list or an output, or lie in a
// row's directory, is refused; one beside them is not.
TEST_F(Batch, ResultsFileRefused)
{
    write("l.csv", "out,time,cues\nb.png,0,\nq/,,\nv.mp4,,v.vtt\n");
    run("mkdir other && ln l.csv other/hard.csv && ln -s q lq");
    const struct {
        const char* results;
        const char* says;  // nullptr: accepted
    } cases[] = {
        {"l.csv", "would replace the list"},
        {"./other/../l.csv", "would replace the list"},
        {"other/hard.csv", "would replace the list"},
        {"b.png", "would replace row 0's b.png"},
        {"v.vtt", "would replace row 2's cues v.vtt"},
        {"q/r.jsonl", "lies inside row 1's q/"},
        {"lq/r.jsonl", "lies inside row 1's q/"},
        {"l.csv.results.jsonl", nullptr},
        {"other/r.jsonl", nullptr},
    };
    std::vector<batch_job> jobs;
    std::string said;
    const capture_options o = options("l.csv");
    ASSERT_EQ(plan("l.csv", o, &jobs, &said), 0) << said;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.results);
        testing::internal::CaptureStderr();
        const int status = batch_check_results(o, at(c.results), jobs);
        said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(status, c.says ? 2 : 0);
        if (c.says) {
            EXPECT_NE(said.find(c.says), std::string::npos) << said;
        }
    }
}

// When a rerun takes a row's output as complete: every file the row names,
// each whole. Each case damages one thing in a set made whole first.
struct done_case {
    const char* what;
    const char* args;    // besides --out
    const char* out;
    const char* damage;  // a shell command in the directory, or "true"
    bool complete;
};

const done_case done_cases[] = {
    {"a picture, whole", "--time=0 --size=32x24", "p.png", "true", true},
    {"a picture cut short", "--time=0 --size=32x24", "p.png", "truncate -s -20 p.png", false},
    {"a picture empty", "--time=0 --size=32x24", "p.png", ": >p.png", false},
    {"a picture of another size", "--time=0 --size=32x22", "p.png", "true", false},
    {"frames, whole, with sound", "--to=500 --fps=10 --size=32x24 --beep", "q/", "true", true},
    {"frames, one cut short", "--to=500 --fps=10 --size=32x24", "q/", "truncate -s -20 q/frame-00003.png", false},
    {"frames, one missing", "--to=500 --fps=10 --size=32x24", "q/", "rm q/frame-00004.png", false},
    {"frames, one too many", "--to=500 --fps=10 --size=32x24", "q/", "cp q/frame-00000.png q/frame-00005.png",
     false},
    {"frames, a longer span asked", "--to=600 --fps=10 --size=32x24", "q/", "true", false},
    {"frames, --beep without audio.wav", "--to=500 --fps=10 --size=32x24 --beep", "q/", "rm q/audio.wav", false},
    {"frames, --pop without audio.wav", "--to=500 --fps=10 --size=32x24 --pop", "q/", "rm q/audio.wav", false},
    {"frames, audio.wav cut short", "--to=500 --fps=10 --size=32x24 --pop", "q/", "truncate -s -2 q/audio.wav",
     false},
    {"cues named, not there", "--to=500 --fps=10 --size=32x24 --cues=c.vtt", "q/", "rm c.vtt", false},
    {"a video, whole, with sound", "--to=500 --fps=10 --size=32x24 --pop", "v.mkv", "true", true},
    {"a video cut short", "--to=500 --fps=10 --size=32x24", "v.mkv", "truncate -s -30 v.mkv", false},
    {"a video without the sound asked", "--to=500 --fps=10 --size=32x24 --beep", "v.mkv", "ffmpeg -v quiet -i v.mkv -an -c copy w.mkv && mv w.mkv v.mkv", false},
};

TEST_F(Batch, ResumeTakesOnlyWholeOutputs)
{
    std::vector<unsigned char> rgb(32 * 24 * 3, 128);
    for (const done_case& c : done_cases) {
        SCOPED_TRACE(c.what);
        run("rm -rf ./*");
        // The whole output, as a run of 32x24, 500 ms at 10 fps, would make it.
        const std::string out = c.out;
        if (out == "p.png") {
            ASSERT_EQ(png_write(at("p.png").c_str(), rgb.data(), 32, 24, png_fast), 0);
        } else if (out == "q/") {
            run("mkdir q");
            for (int k = 0; k < 5; ++k) {
                char name[32];
                snprintf(name, sizeof name, "q/frame-%05d.png", k);
                ASSERT_EQ(png_write(at(name).c_str(), rgb.data(), 32, 24, png_fast), 0);
            }
            const pop_track track = pop_track_for(frame_rate{10, 1}, 0, 500, {true, true, -20});
            ASSERT_EQ(pop_write_wav(at("q/audio.wav").c_str(), track), 0);
        } else {
            run("ffmpeg -v quiet -f lavfi -i testsrc=size=32x24:rate=10 -f lavfi -i sine=r=48000 -t 0.5 "
                "-c:v libx264 -c:a flac v.mkv");
        }
        write("c.vtt", "WEBVTT\n");
        run(c.damage);
        std::vector<std::string> args = {"--out=" + at(c.out)};
        std::string rest = c.args;
        for (size_t from = 0; from < rest.size();) {
            size_t end = rest.find(' ', from);
            end = end == std::string::npos ? rest.size() : end;
            std::string a = rest.substr(from, end - from);
            if (a.compare(0, 7, "--cues=") == 0)
                a = "--cues=" + at(a.substr(7));
            args.push_back(a);
            from = end + 1;
        }
        EXPECT_EQ(batch_output_complete(args), c.complete);
    }
}

}  // namespace

// The option table marks what a batch treats as a file read (from the list's
// directory), a file written (confined to it) and an option of the whole batch.
TEST(BatchOptions, TheTableTellsFilesAndBatchOptions)
{
    const struct {
        const char* name;
        option_file file;
        bool whole_batch;
    } cases[] = {
        {"photo-image", file_read, false}, {"lines", file_read, false}, {"font", file_read, false},
        {"caption-font", file_read, false}, {"tex", file_read, false}, {"music", file_read, false},
        {"credits", file_read, false}, {"cues", file_written, false}, {"title", file_none, false},
        {"size", file_none, false}, {"jobs", file_none, true}, {"force", file_none, true},
        {"results", file_none, true}, {"shard", file_none, true}, {"batch", file_none, true},
    };
    for (const auto& c : cases) {
        const option_use use = option_use_of(c.name);
        EXPECT_TRUE(use.known) << c.name;
        EXPECT_EQ(use.file, c.file) << c.name;
        EXPECT_EQ(use.whole_batch, c.whole_batch) << c.name;
    }
}
