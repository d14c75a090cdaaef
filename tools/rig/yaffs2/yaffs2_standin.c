// SPDX-License-Identifier: GPL-2.0
/*
 * A test fixture of the rig, not a driver we ship. Debian's kernel has no yaffs2, so this registers
 * a file system named "yaffs2" that hands each mount to jffs2 on the same MTD device: the program's
 * mount(2) of /dev/mtdblock4 with "yaffs2" then runs unchanged. It loads by itself through its
 * file-system alias, as a real yaffs2 module would.
 */
#include <linux/errno.h>
#include <linux/fs.h>
#include <linux/fs_context.h>
#include <linux/module.h>

static int standin_init_fs_context(struct fs_context *fc)
{
	struct file_system_type *jffs2 = get_fs_type("jffs2");

	if (!jffs2)
		return -ENODEV;
	if (!jffs2->init_fs_context) {
		module_put(jffs2->owner);
		return -ENODEV;
	}
	/*
	 * From here the context is jffs2's: its superblock, its unmount and the module reference it
	 * holds. Ours is dropped, as the context no longer points at this type.
	 */
	module_put(fc->fs_type->owner);
	fc->fs_type = jffs2;
	return jffs2->init_fs_context(fc);
}

static void standin_kill_sb(struct super_block *sb)
{
	/* Never reached: every superblock belongs to jffs2. */
	kill_anon_super(sb);
}

static struct file_system_type standin_fs_type = {
	.owner = THIS_MODULE,
	.name = "yaffs2",
	.init_fs_context = standin_init_fs_context,
	.kill_sb = standin_kill_sb,
	.fs_flags = FS_REQUIRES_DEV,
};

static int __init standin_init(void)
{
	return register_filesystem(&standin_fs_type);
}

static void __exit standin_exit(void)
{
	unregister_filesystem(&standin_fs_type);
}

module_init(standin_init);
module_exit(standin_exit);
MODULE_ALIAS_FS("yaffs2");
MODULE_DESCRIPTION("Test fixture: yaffs2 mounts handed to jffs2");
MODULE_LICENSE("GPL");
